// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "reportoutputs.h"

#include "messageboxes.h"
#include "report/getdata.h"
#include "report/localetext.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>

namespace clockdeck {

ReportOutputs::ReportOutputs(EditorPlatform& editor, QObject* parent)
    : QObject(parent), m_editor(editor), m_errorBox(&showCriticalBox),
      m_report([](const FieldStore& fields) { return GetData(fields); })
{}

void ReportOutputs::copy(const FieldStore& fields)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) {
        return;
    }
    // A fresh QMimeData with text/plain alone replaces every format the clipboard held before.
    auto* data = new QMimeData;
    data->setText(QString::fromUtf8(m_report(fields)));
    clipboard->setMimeData(data, QClipboard::Clipboard);
}

void ReportOutputs::resultsReleased(const FieldStore& fields, Qt::MouseButton button, QWidget* window)
{
    if (button == Qt::LeftButton) {
        append(fields, window);
    } else if (button == Qt::RightButton) {
        if (const std::error_code error = OpenInNotePad(m_results.path(), m_editor)) {
            m_errorBox(window, QString::fromLocal8Bit(m_results.describe(error)));
        }
    }
}

bool ReportOutputs::append(const FieldStore& fields, QWidget* window)
{
    // The file holds the user's locale text; Qt set the C locale from the environment at start. The text is taken
    // now, so a wait for the lock still writes what the window showed at the click.
    m_waiting.push_back(toLocaleText(m_report(fields)));
    if (m_waiting.size() > 1) {
        return false; // the wait under way takes this entry too
    }
    m_waitWindow = window;
    m_waitEnd = QDeadlineTimer(LockWait);
    return appendWaiting();
}

bool ReportOutputs::appendWaiting()
{
    // One try at the lock per entry and call: a wait inside the append would hold the whole window, SIGTERM
    // included.
    std::error_code error;
    while (!m_waiting.empty() && !(error = m_results.append(m_waiting.front()))) {
        m_waiting.erase(m_waiting.begin());
    }
    if (error == ResultsFileError::Locked && !m_waitEnd.hasExpired()) {
        QTimer::singleShot(LockRetryMs, this, [this] { appendWaiting(); });
        return false;
    }
    if (error) {
        // One box for the wait, however many clicks joined it; their entries go with the failure.
        m_waiting.clear();
        m_errorBox(m_waitWindow, QString::fromLocal8Bit(m_results.describe(error)));
        return false;
    }
    // Let the window repaint and take the clicks that came meanwhile, as after every report.
    QCoreApplication::processEvents();
    return true;
}

} // namespace clockdeck
