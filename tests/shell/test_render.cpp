// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
//
// The window as drawn after a load on the fixed test profile, compared with a reference picture. When the look
// changes on purpose, run with CLOCKDECK_UPDATE_RENDER=1 (100 % and 200 %) and review the written references.
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
    void matchesReference()
    {
        LoadedWindow w;
        w->activateWindow(); // so that the first spin control shows its focus frame every time
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        const qreal ratio = w->devicePixelRatioF();
        const QImage shot = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shot.size(), QSize(qRound(379 * ratio), qRound(323 * ratio))); // whole at any scale

        const QString name = ratio > 1.5 ? QStringLiteral("render-form1@2x.png") : QStringLiteral("render-form1.png");
        const QString path = qEnvironmentVariable("CLOCKDECK_TEST_DATA") + QLatin1Char('/') + name;
        if (qEnvironmentVariableIsSet("CLOCKDECK_UPDATE_RENDER")) {
            QVERIFY(shot.save(path));
            QSKIP("reference written; review it and commit");
        }
        const QImage reference = QImage(path).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(reference.size(), shot.size());

        // Antialiasing may differ a little between font library builds; a label moved by one pixel changes a hundred
        // pixels or more, a spin control's focus frame about 35.
        qint64 differing = 0;
        for (int y = 0; y < shot.height(); ++y) {
            const auto* a = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
            const auto* b = reinterpret_cast<const QRgb*>(reference.constScanLine(y));
            for (int x = 0; x < shot.width(); ++x)
                differing += std::max({std::abs(qRed(a[x]) - qRed(b[x])), std::abs(qGreen(a[x]) - qGreen(b[x])),
                                       std::abs(qBlue(a[x]) - qBlue(b[x]))}) > 40;
        }
        const qint64 allowed = qint64(shot.width()) * shot.height() / 4000; // 0.025 %
        const QString failed = QDir::temp().filePath(QStringLiteral("clockdeck-") + name);
        if (differing > allowed)
            shot.save(failed);
        QVERIFY2(differing <= allowed,
                 qPrintable(QStringLiteral("%1 pixels differ from %2, at most %3 allowed; this render: %4")
                                .arg(QString::number(differing), path, QString::number(allowed), failed)));
    }
};

QTEST_MAIN(TestRender)
#include "test_render.moc"
