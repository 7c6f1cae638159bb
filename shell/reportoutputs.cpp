// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "reportoutputs.h"

#include "messageboxes.h"
#include "report/getdata.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>

#include <csignal>

namespace clockdeck {

ReportOutputs::ReportOutputs(EditorPlatform& editor, QObject* parent)
    : QObject(parent), m_editor(editor), m_errorBox(&showCriticalBox),
      m_report([](const FieldStore& fields) { return GetData(fields); })
{
    std::signal(SIGPIPE, SIG_IGN);
}

void ReportOutputs::copy(const FieldStore& fields)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    // A fresh QMimeData with text/plain alone replaces every format the clipboard held before.
    auto* data = new QMimeData;
    data->setText(QString::fromUtf8(m_report(fields)));
    clipboard->setMimeData(data, QClipboard::Clipboard);
}

void ReportOutputs::resultsReleased(const FieldStore& fields, Qt::MouseButton button, QWidget* window)
{
    if (button == Qt::LeftButton)
        append(fields, window);
    else if (button == Qt::RightButton)
        OpenInNotePad(m_results.path(), m_editor);
}

bool ReportOutputs::append(const FieldStore& fields, QWidget* window)
{
    // The file holds the user's locale text; Qt set the C locale from the environment at start. The text is taken
    // now, so a wait for the lock still writes what the window showed at the click.
    return appendText(toLocaleText(m_report(fields)), window, QDeadlineTimer(m_results.lockWait()));
}

bool ReportOutputs::appendText(const std::string& text, const QPointer<QWidget>& window, const QDeadlineTimer& deadline)
{
    // One try at the lock per call: a wait inside the append would hold the whole window, SIGTERM included.
    ResultsFile once = m_results;
    once.setLockWait(std::chrono::milliseconds(0));
    const std::error_code error = once.append(text);
    if (error == ResultsFileError::Locked && !deadline.hasExpired()) {
        QTimer::singleShot(LockRetryMs, this, [this, text, window, deadline] { appendText(text, window, deadline); });
        return false;
    }
    if (error) {
        m_errorBox(window, QString::fromLocal8Bit(m_results.describe(error)));
        return false;
    }
    // Let the window repaint and take the clicks that came meanwhile, as after every report.
    QCoreApplication::processEvents();
    return true;
}

} // namespace clockdeck
