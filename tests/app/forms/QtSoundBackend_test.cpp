// SPDX-License-Identifier: GPL-3.0-or-later
// The result sounds through Qt Multimedia, on real files: a file that cannot be played
// is found out once it has loaded, and reported then.
#include <QSignalSpy>
#include <QTest>

#include "app/qt/QtSoundBackend.h"
#include "support/TempDir.h"
#include "support/TestPaths.h"

using namespace kardo;
using namespace kardo::test;

class QtSoundBackendTest : public QObject {
    Q_OBJECT
  private slots:
    void aCorruptFileIsReportedOnceItHasLoaded();
};

void QtSoundBackendTest::aCorruptFileIsReportedOnceItHasLoaded() {
    TempDir dir;
    // The RIFF header promises a wave, the rest is not one.
    std::vector<uint8_t> corrupt{'R', 'I', 'F', 'F', 0x24, 0,   0,   0,
                                 'W', 'A', 'V', 'E', 'f',  'm', 't', ' '};
    corrupt.resize(60, 0x00);
    WriteBytes(dir / "error.wav", corrupt);

    QtSoundBackend sound(false);  // no sound hardware needed to load a file
    int failures = 0;
    sound.SetLateFailureHandler([&] { ++failures; });

    const auto good = kardo::test::BuiltDataDir() / "chimes.wav";
    QVERIFY(sound.Play(Sound::Chimes, good));
    QVERIFY(sound.Play(Sound::Error, dir / "error.wav"));  // not known yet
    QTRY_COMPARE(failures, 1);
    QTest::qWait(200);
    QCOMPARE(failures, 1);  // the good one loaded without complaint
    // Once known, the same file fails at once; a missing one always did.
    QVERIFY(!sound.Play(Sound::Error, dir / "error.wav"));
    QVERIFY(!sound.Play(Sound::Notify, dir / "notify.wav"));
}

QTEST_MAIN(QtSoundBackendTest)
#include "QtSoundBackend_test.moc"
