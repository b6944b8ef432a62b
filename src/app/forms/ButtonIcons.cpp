// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/forms/ButtonIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <initializer_list>
#include <vector>

namespace kardo {
namespace {

enum class Shape { Box, FilledBox, Line, Circle, Arrow, Tick, Cross };

// One stroke of a 32 x 32 picture: a shape, its corners or end points, and a colour.
struct Stroke {
    Shape shape;
    int x1, y1, x2, y2;
    QRgb colour;
};

constexpr QRgb kInk = 0xFF202020;
constexpr QRgb kChip = 0xFF303848;
constexpr QRgb kPin = 0xFFA0A0A0;
constexpr QRgb kBlue = 0xFF1E60C0;
constexpr QRgb kGreen = 0xFF108A20;
constexpr QRgb kRed = 0xFFC02020;
constexpr QRgb kYellow = 0xFFE0B020;

// A dual-in-line chip body with pins, the motif most pictures share.
std::vector<Stroke> Chip(int x, int y, int w, int h) {
    std::vector<Stroke> s{{Shape::FilledBox, x, y, x + w, y + h, kChip}};
    for (int py = y + 3; py < y + h - 1; py += 5) {
        s.push_back({Shape::Line, x - 3, py, x, py, kPin});
        s.push_back({Shape::Line, x + w, py, x + w + 3, py, kPin});
    }
    return s;
}

std::vector<Stroke> With(std::vector<Stroke> base, std::initializer_list<Stroke> more) {
    base.insert(base.end(), more);
    return base;
}

std::vector<Stroke> StrokesFor(const QString& name) {
    if (name == "SB_Select") return With(Chip(9, 4, 14, 24), {{Shape::Arrow, 30, 16, 24, 16, kBlue}});
    if (name == "SB_Load")
        return {{Shape::Box, 3, 12, 29, 28, kYellow}, {Shape::Line, 3, 12, 12, 8, kYellow},
                {Shape::Arrow, 16, 1, 16, 22, kBlue}};
    if (name == "SB_Save")
        return {{Shape::FilledBox, 5, 5, 27, 27, kBlue}, {Shape::FilledBox, 10, 5, 22, 13, kPin},
                {Shape::FilledBox, 9, 18, 23, 27, 0xFFF0F0F0}};
    if (name == "SB_Edit")
        return {{Shape::Box, 4, 4, 22, 28, kInk}, {Shape::Line, 28, 6, 14, 22, kYellow},
                {Shape::Line, 14, 22, 12, 26, kInk}};
    if (name == "SB_Config")
        return {{Shape::Box, 4, 9, 28, 23, kInk},      {Shape::FilledBox, 7, 12, 10, 16, kRed},
                {Shape::FilledBox, 13, 16, 16, 20, kRed}, {Shape::FilledBox, 19, 12, 22, 16, kRed},
                {Shape::FilledBox, 24, 16, 26, 20, kRed}};
    if (name == "SB_Blank") return With(Chip(9, 4, 14, 24), {{Shape::Circle, 12, 11, 20, 19, 0xFFF0F0F0}});
    if (name == "SB_Read") return With(Chip(4, 4, 12, 24), {{Shape::Arrow, 18, 16, 30, 16, kGreen}});
    if (name == "SB_Prog") return With(Chip(16, 4, 12, 24), {{Shape::Arrow, 1, 16, 14, 16, kRed}});
    if (name == "SB_Verify") return With(Chip(4, 4, 12, 24), {{Shape::Tick, 17, 16, 30, 8, kGreen}});
    if (name == "SB_Erase") return With(Chip(4, 4, 12, 24), {{Shape::Cross, 18, 10, 30, 22, kRed}});
    if (name == "SB_Option")
        return {{Shape::Line, 4, 9, 28, 9, kInk},        {Shape::FilledBox, 17, 6, 21, 12, kBlue},
                {Shape::Line, 4, 16, 28, 16, kInk},      {Shape::FilledBox, 8, 13, 12, 19, kBlue},
                {Shape::Line, 4, 23, 28, 23, kInk},      {Shape::FilledBox, 22, 20, 26, 26, kBlue}};
    if (name == "SB_Test")
        return {{Shape::Circle, 4, 4, 28, 28, kInk}, {Shape::Line, 16, 16, 23, 8, kRed},
                {Shape::FilledBox, 14, 14, 18, 18, kInk}};
    return {};
}

void Draw(QPainter& p, const Stroke& s) {
    const QColor colour = QColor::fromRgba(s.colour);
    p.setPen(QPen(colour, 2));
    p.setBrush(Qt::NoBrush);
    switch (s.shape) {
        case Shape::Box:
            p.drawRect(QRect(QPoint(s.x1, s.y1), QPoint(s.x2, s.y2)));
            break;
        case Shape::FilledBox:
            p.fillRect(QRect(QPoint(s.x1, s.y1), QPoint(s.x2, s.y2)), colour);
            break;
        case Shape::Line:
            p.drawLine(s.x1, s.y1, s.x2, s.y2);
            break;
        case Shape::Circle:
            p.drawEllipse(QRect(QPoint(s.x1, s.y1), QPoint(s.x2, s.y2)));
            break;
        case Shape::Arrow: {
            p.drawLine(s.x1, s.y1, s.x2, s.y2);
            const QPointF tip(s.x2, s.y2);
            const QPointF back = QPointF(s.x1 - s.x2, s.y1 - s.y2) /
                                 std::max(1.0, QLineF(s.x1, s.y1, s.x2, s.y2).length()) * 6;
            const QPointF side(-back.y() / 2, back.x() / 2);
            p.setBrush(colour);
            p.drawPolygon(QPolygonF({tip, tip + back + side, tip + back - side}));
            break;
        }
        case Shape::Tick:
            p.setPen(QPen(colour, 3));
            p.drawPolyline(QPolygon({QPoint(s.x1, s.y1), QPoint((s.x1 + s.x2) / 2 - 2, s.y1 + 6),
                                     QPoint(s.x2, s.y2)}));
            break;
        case Shape::Cross:
            p.setPen(QPen(colour, 3));
            p.drawLine(s.x1, s.y1, s.x2, s.y2);
            p.drawLine(s.x1, s.y2, s.x2, s.y1);
            break;
    }
}

}  // namespace

QIcon ButtonIcon(const QString& buttonName) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const Stroke& stroke : StrokesFor(buttonName)) {
        Draw(painter, stroke);
    }
    painter.end();
    return QIcon(pixmap);
}

}  // namespace kardo
