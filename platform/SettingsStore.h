// The program's remembered choices, in one settings file per user
// ($XDG_CONFIG_HOME/ORGANISATION/APPLICATION.conf). A file whose contents
// cannot be read is moved aside (APPLICATION.conf.bad) after one line on
// standard error: the program runs on its defaults and keeps this run's
// choices in a new file. A file that cannot be reached or written is
// ignored after one such line, and then nothing is remembered.
#pragma once

#include <QString>
#include <QVariant>

#include <memory>

class QSettings;

class SettingsStore {
public:
    // The user's settings file of `organisation` and `application`.
    SettingsStore(const QString& organisation, const QString& application);
    // A settings file at `file`, for tests.
    explicit SettingsStore(const QString& file);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // The stored value, or `fallback` when there is none or the file is unusable.
    QVariant Value(const QString& key, const QVariant& fallback = {}) const;
    // Stores the value and writes the file at once.
    void SetValue(const QString& key, const QVariant& value);
    // Forgets the value (a key an earlier version wrote) and writes the file.
    void Remove(const QString& key);
    // False once the file failed to be read or written.
    bool Usable() const { return usable_; }
    const QString& File() const { return file_; }
    // Where a settings file that could not be read was moved; empty when none was.
    const QString& MovedAside() const { return movedAside_; }

private:
    void Check(const char* doing);
    bool MoveAside();

    QString file_;
    QString movedAside_;
    std::unique_ptr<QSettings> settings_;
    bool usable_ = true;
};

// "name" made safe as one key of a settings path: a device name such as
// "net:host:plustek:libusb:001:004" or "a/b" keeps no '/' or '\\'.
QString SettingsKeyPart(const QString& name);
