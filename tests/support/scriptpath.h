// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fstream>

namespace clockdeck::test {

/// A PATH holding only the shell scripts a test adds, standing in for xdg-open, editors and browsers; the old PATH
/// comes back when this object goes. The scripts run /bin/sh, so they name other programs by full path.
class ScriptPath
{
public:
    ScriptPath() : m_saved(qgetenv("PATH")) { qputenv("PATH", QFile::encodeName(m_dir.path())); }
    ScriptPath(const ScriptPath&) = delete;
    ScriptPath& operator=(const ScriptPath&) = delete;
    ~ScriptPath() { qputenv("PATH", m_saved); }

    /// The folder, or the file @p name in it.
    QString path(const QString& name = {}) const { return name.isEmpty() ? m_dir.path() : m_dir.filePath(name); }

    /// Adds the script @p name, unless @p body is empty; "$0.ran" in it names the script's own record file.
    void add(const QString& name, const QByteArray& body) const
    {
        if (body.isEmpty())
            return;
        std::ofstream(path(name).toStdString()) << "#!/bin/sh\n" << body.constData() << "\n";
        QFile::setPermissions(path(name), QFile::ReadOwner | QFile::ExeOwner);
    }

    /// What the script @p name wrote to "$0.ran"; empty until it has.
    QByteArray ran(const QString& name) const
    {
        QFile file(path(name + QStringLiteral(".ran")));
        return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_saved;
};

} // namespace clockdeck::test
