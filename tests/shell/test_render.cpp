// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
//
// The window as drawn after a load on the fixed test profile, compared with a reference picture.
//
// When the look changes on purpose, regenerate the references (100 % and 200 %) and review them before committing:
//   cmake --build build/dev --target test_render &&
//   CLOCKDECK_UPDATE_RENDER=1 ctest --test-dir build/dev -R shell_test_render
#include "shellfixture.h"

#include <QApplication>
#include <QDir>
#include <QImage>

#include <algorithm>

using namespace clockdeck;
using namespace clockdeck::test;

class TestRender : public QObject
{
    Q_OBJECT

private slots:
    void matchesReference();
};

void TestRender::matchesReference()
{
    LoadedWindow w;
    // Active, so the first spin control shows its focus frame every time.
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    const qreal ratio = w->devicePixelRatioF();
    const QImage shot = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    // Whole at any scale: every logical pixel drawn.
    QCOMPARE(shot.size(), QSize(qRound(379 * ratio), qRound(323 * ratio)));

    const QString name = ratio > 1.5 ? QStringLiteral("render-form1@2x.png") : QStringLiteral("render-form1.png");
    const QString path = qEnvironmentVariable("CLOCKDECK_TEST_DATA") + QLatin1Char('/') + name;
    if (qEnvironmentVariableIsSet("CLOCKDECK_UPDATE_RENDER")) {
        QVERIFY(shot.save(path));
        QSKIP("reference written; review it and commit");
    }
    const QImage reference = QImage(path).convertToFormat(QImage::Format_RGB32);
    QVERIFY2(!reference.isNull(), qPrintable(path));
    QCOMPARE(reference.size(), shot.size());

    // Small tolerance: antialiasing may differ slightly between font library builds, a misplaced or missing
    // element may not. A label moved by one pixel changes a hundred pixels or more, the focus frame of a spin
    // control about 35.
    qint64 differing = 0;
    for (int y = 0; y < shot.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(reference.constScanLine(y));
        for (int x = 0; x < shot.width(); ++x) {
            const int d = std::max({std::abs(qRed(a[x]) - qRed(b[x])), std::abs(qGreen(a[x]) - qGreen(b[x])),
                                    std::abs(qBlue(a[x]) - qBlue(b[x]))});
            if (d > 40) {
                ++differing;
            }
        }
    }
    const qint64 allowed = qint64(shot.width()) * shot.height() / 4000; // 0.025 %
    if (differing > allowed) {
        const QString failed = QDir::temp().filePath(QStringLiteral("clockdeck-") + name);
        shot.save(failed);
        QFAIL(qPrintable(QStringLiteral("%1 pixels differ from %2 (at most %3 allowed); this render: %4")
                             .arg(differing)
                             .arg(path)
                             .arg(allowed)
                             .arg(failed)));
    }
}

QTEST_MAIN(TestRender)
#include "test_render.moc"
