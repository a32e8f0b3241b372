#include "app/shared/native_path.h"

#include "app/shared/cp1251_text.h"
#include "platform/process.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <algorithm>

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
#ifdef Q_OS_WIN
    // argv is in the ANSI code page, which can't hold every name; the wide
    // command line can. Once the application exists, its arguments are what
    // Qt left after taking its own options.
    if (!QCoreApplication::instance())
        return dravik::commandLineArguments(argc, argv);
    std::vector<std::string> arguments;
    const QStringList all = QCoreApplication::arguments();
    for (qsizetype i = 1; i < all.size(); ++i)
        arguments.push_back(all[i].toStdString());
    return arguments;
#else
    return std::vector<std::string>(argv + std::min(argc, 1), argv + argc);
#endif
}
