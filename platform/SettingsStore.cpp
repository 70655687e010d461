// QSettings reports a file it could not read or write only through
// status(), and then keeps going on what it has; here the first such report
// turns the store off, so nothing half-read is used or written back.
#include "platform/SettingsStore.h"

#include <QSettings>
#include <QStandardPaths>
#include <QUrl>

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

// Put after the file's name for the unreadable file kept beside the new one.
constexpr const char* kAsideSuffix = ".bad";

} // namespace

SettingsStore::SettingsStore(const QString& organisation, const QString& application)
    : SettingsStore(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                    QLatin1Char('/') + organisation + QLatin1Char('/') + application +
                    QStringLiteral(".conf")) {}

SettingsStore::SettingsStore(const QString& file)
    : file_(file), settings_(std::make_unique<QSettings>(file, QSettings::IniFormat)) {
    if (settings_->status() == QSettings::FormatError && MoveAside()) {
        return;
    }
    Check("read");
}

// The unreadable file goes whole, so nothing half-read is used or written
// back, and it stays there for the user to look at.
bool SettingsStore::MoveAside() {
    const QString aside = file_ + QLatin1String(kAsideSuffix);
    std::error_code error;
    settings_.reset();
    std::filesystem::rename(file_.toStdString(), aside.toStdString(), error);
    settings_ = std::make_unique<QSettings>(file_, QSettings::IniFormat);
    if (error || settings_->status() != QSettings::NoError) {
        return false;
    }
    movedAside_ = aside;
    std::fprintf(stderr,
                 "tamrel: cannot read the settings file %s; using the defaults (the file is "
                 "kept as %s)\n",
                 qPrintable(file_), qPrintable(aside));
    return true;
}

SettingsStore::~SettingsStore() = default;

void SettingsStore::Check(const char* doing) {
    if (!usable_ || settings_->status() == QSettings::NoError) {
        return;
    }
    usable_ = false;
    std::fprintf(stderr, "tamrel: cannot %s the settings file %s; using the defaults\n", doing,
                 qPrintable(file_));
}

QVariant SettingsStore::Value(const QString& key, const QVariant& fallback) const {
    return usable_ ? settings_->value(key, fallback) : fallback;
}

void SettingsStore::SetValue(const QString& key, const QVariant& value) {
    if (!usable_) {
        return;
    }
    settings_->setValue(key, value);
    settings_->sync();
    Check("write");
}

void SettingsStore::Remove(const QString& key) {
    if (!usable_ || !settings_->contains(key)) {
        return;
    }
    settings_->remove(key);
    settings_->sync();
    Check("write");
}

QString SettingsKeyPart(const QString& name) {
    return QString::fromLatin1(QUrl::toPercentEncoding(name));
}
