// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "report/notepad.h"
#include "report/resultsfile.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <string>

class QWidget;

namespace clockdeck {

class FieldStore;

// Where the main window's report goes: the clipboard (Image3) and the results file (Image4, left button appends,
// right button opens it in the text editor).
class ReportOutputs : public QObject
{
    Q_OBJECT

public:
    // Shows a failed append's error; the window shows showCriticalBox().
    using ErrorBox = std::function<void(QWidget* parent, const QString& text)>;
    // The report of what the fields show now; GetData by default.
    using ReportSource = std::function<std::string(const FieldStore&)>;

    // Also makes SIGPIPE harmless for the whole program: a reader that goes away (a pipe as standard error, a
    // program the outputs talk to) gives an error where it happens and never ends the window.
    explicit ReportOutputs(EditorPlatform& editor, QObject* parent = nullptr);

    void setResultsFile(ResultsFile file) { m_results = std::move(file); }
    const ResultsFile& resultsFile() const { return m_results; }
    void setErrorBox(ErrorBox box) { m_errorBox = std::move(box); }
    void setReportSource(ReportSource source) { m_report = std::move(source); }

    // Image3: the clipboard holds the report as plain text and nothing else. A clipboard that cannot be written
    // stays as it was; nothing is shown.
    void copy(const FieldStore& fields);

    // Image4's release: left appends, right opens the file in the editor, any other button does nothing.
    // @p window parents the message box of a failed append.
    void resultsReleased(const FieldStore& fields, Qt::MouseButton button, QWidget* window);

    /// The left button's append of the report as the fields show it now. True when it went in at once; false
    /// when it failed (after the message box naming the file and the reason) or waits for another program's lock.
    /// That wait runs in the event loop, trying again every few milliseconds for at most the lock wait, so the
    /// window keeps answering clicks and signals meanwhile; then the entry goes in, or the "locked" box shows.
    bool append(const FieldStore& fields, QWidget* window);

private:
    // How often a waiting append tries the lock again.
    static constexpr int LockRetryMs = 20;

    bool appendText(const std::string& text, const QPointer<QWidget>& window, const QDeadlineTimer& deadline);

    EditorPlatform& m_editor;
    ResultsFile m_results;
    ErrorBox m_errorBox;
    ReportSource m_report;
};

} // namespace clockdeck
