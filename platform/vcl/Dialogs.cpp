#include "platform/vcl/Dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include <utility>

namespace {

TOpenDialog::ExecuteHandler& InstalledHandler() {
    static TOpenDialog::ExecuteHandler handler;
    return handler;
}

}  // namespace

TOpenDialog::TOpenDialog(QObject* owner, const char* name) : QObject(owner) {
    setObjectName(QString::fromLatin1(name));
}

TOpenDialog::ExecuteHandler TOpenDialog::SetExecuteHandler(ExecuteHandler handler) {
    return std::exchange(InstalledHandler(), std::move(handler));
}

bool TOpenDialog::Execute() {
    const ExecuteHandler handler = InstalledHandler();
    if (handler) {
        return handler(*this);
    }
    // First time in the working directory, later where the last file was.
    const QString startDirectory =
        FileName.empty() ? QDir::currentPath() : QFileInfo(QFile::decodeName(FileName.c_str())).absolutePath();
    const QString chosen = QFileDialog::getOpenFileName(qobject_cast<QWidget*>(parent()), QString::fromStdString(Title),
                                                        startDirectory, QString::fromStdString(QtFileFilter(Filter)));
    if (chosen.isEmpty()) {
        return false;
    }
    FileName = QFile::encodeName(chosen).toStdString();
    return true;
}

std::string QtFileFilter(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'))) {
            if (!pattern.trimmed().isEmpty()) {
                patterns.append(pattern.trimmed());
            }
        }
        if (patterns.isEmpty()) {
            continue;
        }
        entries.append(parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
    }
    return entries.join(QStringLiteral(";;")).toStdString();
}
