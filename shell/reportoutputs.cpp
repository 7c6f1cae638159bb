// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "reportoutputs.h"

#include "report/getdata.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>

namespace clockdeck {

ReportOutputs::ReportOutputs(EditorPlatform& editor, QObject* parent)
    : QObject(parent), m_editor(editor), m_errorBox(&ReportOutputs::showCriticalBox),
      m_report([](const FieldStore& fields) { return GetData(fields); })
{}

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
    // The file holds the user's locale text; Qt set the C locale from the environment at start.
    const std::error_code error = m_results.append(toLocaleText(m_report(fields)));
    if (error) {
        m_errorBox(window, QStringLiteral("Clockdeck"), QString::fromLocal8Bit(error.message()));
        return false;
    }
    // Let the window repaint and take the clicks that came meanwhile, as after every report.
    QCoreApplication::processEvents();
    return true;
}

void ReportOutputs::showCriticalBox(QWidget* parent, const QString& title, const QString& text)
{
    // On the heap: should the program end while the box is up, its parent takes it along safely.
    auto* box = new QMessageBox(QMessageBox::Critical, title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    box->show();
    box->raise();
    box->activateWindow();
    box->exec();
}

} // namespace clockdeck
