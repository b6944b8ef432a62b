// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QElapsedTimer>

class QProgressBar;

namespace kardo {

// The small progress window of a file load or save. The work runs on the UI thread, so
// the windows are let to draw themselves every few tens of milliseconds as the bar moves.
class TfrmLoad_Save : public QDialog {
    Q_OBJECT
  public:
    TfrmLoad_Save(const QString& caption, QWidget* parent);

    static constexpr int kDrawEveryMs = 30;

    // 0 to 100. Drawn at most every few tens of milliseconds.
    void SetPosition(int percent);
    void Draw();
    int Position() const;
    // How many times the bar was drawn while it moved.
    int Draws() const { return draws_; }

  private:
    QProgressBar* L_Sbar;
    QElapsedTimer sinceDrawn_;
    int draws_ = 0;
};

}  // namespace kardo
