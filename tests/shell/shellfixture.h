// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "shell/form1.h"
#include "shell/skinlabel.h"
#include "shell/spinbar.h"
#include "support/recordingsink.h"

#include <QImage>
#include <QTest>

#include <memory>

namespace clockdeck::test {

// The fixed machine profile of these tests: an Athlon 64 3500+ whose boot clock reads 2211 MHz.
inline std::filesystem::path profile()
{
    return qEnvironmentVariable("CLOCKDECK_TEST_PROFILE").toStdString();
}

// A main window after its whole load on the test profile, shown, with faults recorded.
struct LoadedWindow
{
    RecordingSink sink;
    std::unique_ptr<Form1> window = std::make_unique<Form1>(&sink);

    LoadedWindow()
    {
        window->load(profile());
        if (!QTest::qWaitForWindowExposed(window.get())) {
            qFatal("the main window was never exposed");
        }
    }
    Form1* operator->() { return window.get(); }
};

// What sets @p picture apart from its reviewed reference render-NAME.png (render-NAME@2x.png at 200 %), empty if none:
// at most one pixel in 4000 may be more than 40 off in a channel, as font builds' antialiasing is; a label one pixel
// off changes 100 or more, a focus frame 35, a solid outline 400. CLOCKDECK_UPDATE_RENDER=1 accepts a new look.
inline QString renderDifference(const QImage& picture, const QString& name)
{
    const QImage shot = picture.convertToFormat(QImage::Format_RGB32);
    const QString path = qEnvironmentVariable("CLOCKDECK_TEST_DATA") + "/render-" + name +
                         (picture.devicePixelRatio() > 1.5 ? "@2x.png" : ".png");
    if (qEnvironmentVariableIsSet("CLOCKDECK_UPDATE_RENDER") && !shot.save(path)) {
        return "cannot save " + path;
    }
    const QImage reference = QImage(path).convertToFormat(QImage::Format_RGB32);
    if (shot.size() != reference.size()) {
        return QStringLiteral("not the size of %1").arg(path);
    }
    qint64 differing = 0;
    const uchar *a = shot.constBits(), *b = reference.constBits();
    for (qsizetype i = 0; i < shot.sizeInBytes(); i += 4) {
        differing += qAbs(a[i] - b[i]) > 40 || qAbs(a[i + 1] - b[i + 1]) > 40 || qAbs(a[i + 2] - b[i + 2]) > 40;
    }
    return differing <= shot.width() * shot.height() / 4000
               ? QString()
               : QStringLiteral("%1 pixels differ from %2").arg(differing).arg(path);
}

} // namespace clockdeck::test
