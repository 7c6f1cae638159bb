// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <QFile>
#include <QTemporaryDir>

#include <fstream>

namespace clockdeck::test {

/// A folder that is the whole PATH while this object lives, holding only the shell scripts a test adds in place of
/// xdg-open, editors and browsers. The scripts run /bin/sh, so they name other programs by full path.
class ScriptPath : public QTemporaryDir
{
public:
    ScriptPath() : m_saved(qgetenv("PATH")) { qputenv("PATH", QFile::encodeName(path())); }
    ~ScriptPath() { qputenv("PATH", m_saved); }

    /// Adds the script @p name, unless @p body is empty; "$0.ran" in it names the script's own record file.
    void add(const QString& name, const QByteArray& body) const
    {
        if (body.isEmpty()) {
            return;
        }
        std::ofstream(filePath(name).toStdString()) << "#!/bin/sh\n" << body.constData() << "\n";
        QFile::setPermissions(filePath(name), QFile::ReadOwner | QFile::ExeOwner);
    }

    /// What the script @p name wrote to "$0.ran"; empty until it has.
    QByteArray ran(const QString& name) const
    {
        QFile file(filePath(name + QStringLiteral(".ran")));
        return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
    }

private:
    QByteArray m_saved;
};

} // namespace clockdeck::test
