#include "native_path.h"

#include "cp1251_text.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

QString nativeToQString(const std::string& path) {
#ifdef Q_OS_WIN
    // The core's text is UTF-8 on Windows too, where QFile would take the
    // ANSI code page.
    return QDir::fromNativeSeparators(QString::fromStdString(path));
#else
    return QFile::decodeName(QByteArray::fromStdString(path));
#endif
}

std::string qStringToNative(const QString& path) {
#ifdef Q_OS_WIN
    return QDir::toNativeSeparators(path).toStdString();
#else
    return QFile::encodeName(path).toStdString();
#endif
}

QString displayName(std::string_view native) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text =
        utf8.decode(QByteArrayView(native.data(), static_cast<qsizetype>(native.size())));
    return utf8.hasError() ? fromCp1251(std::string(native)) : text;
}

std::string qStringToNativeName(const QString& name) {
#ifdef Q_OS_WIN
    return name.toStdString();
#else
    return QFile::encodeName(name).toStdString();
#endif
}

QUrl fileUrl(const std::string& path) {
#ifdef Q_OS_WIN
    return QUrl::fromLocalFile(nativeToQString(path));
#else
    return QUrl::fromEncoded("file://" + QByteArray::fromStdString(path).toPercentEncoding("/"));
#endif
}

std::vector<std::string> nativeArguments(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
#ifdef Q_OS_WIN
        arguments.push_back(QString::fromLocal8Bit(argv[i]).toStdString());
#else
        arguments.push_back(argv[i]);
#endif
    }
    return arguments;
}
