// File names as the user picked them -> paths for the file layer.
#pragma once

#include <QFile>
#include <QString>

#include <filesystem>

// The name's bytes as the file system stores them (the local 8-bit encoding).
inline std::filesystem::path PathFromUser(const QString& name) {
    return std::filesystem::path(QFile::encodeName(name).toStdString());
}

// A path for the user to read, back from the file system's bytes.
inline QString PathToUser(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
}
