// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "messageboxes.h"

#include <QMessageBox>

namespace clockdeck {

namespace {

void showBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption, std::string_view text)
{
    QMessageBox box(icon, caption, QString::fromUtf8(text.data(), qsizetype(text.size())), QMessageBox::Ok, parent);
    // A fault text is shown as it is, never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

void MessageBoxes::updateFault(std::string_view message)
{
    showBox(m_parent, QMessageBox::NoIcon, QStringLiteral("Clockdeck"), message);
}

void MessageBoxes::ceilFault(std::string_view description)
{
    showBox(m_parent, QMessageBox::Information, QStringLiteral("Function Ceil Error!"), description);
}

void showCriticalBox(QWidget* parent, const QString& text)
{
    // On the heap: should the program end while the box is up, its parent takes it along safely.
    auto* box = new QMessageBox(QMessageBox::Critical, QStringLiteral("Clockdeck"), text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(Qt::ApplicationModal);
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    box->show();
    box->raise();
    box->activateWindow();
    box->exec();
}

} // namespace clockdeck
