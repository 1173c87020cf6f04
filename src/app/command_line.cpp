// SPDX-License-Identifier: MIT
#include "app/command_line.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QUrl>

#include <cstdio>

namespace qni {

namespace {

const QString kProgram = QStringLiteral("quarn-network-information");
const QString kVersion = QStringLiteral(QNI_VERSION);

bool isPageAddress(const QString& text)
{
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !url.host().isEmpty();
}

// One line, whatever the user typed.
QString oneLine(QString text)
{
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    }
    return text;
}

void print(std::FILE* stream, const QString& text)
{
    if (text.isEmpty())
        return;
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine result;
    const auto fail = [&](const QString& message) {
        result.exitStatus = 2;
        result.error = kProgram + QStringLiteral(": ") + oneLine(message) + QLatin1Char('\n');
        return result;
    };

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Gathers this computer's and its network's facts and shows them in one window."));
    // Not the parser's own help option: it also offers Qt's options, which
    // are read here before Qt could take them.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("?")},
                                  QStringLiteral("Displays help on commandline options."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption publicPage(
        QStringLiteral("public-page"),
        QStringLiteral("The page that echoes the public address, http or https (default %1); \"\" fetches nothing.")
            .arg(result.settings.publicPage),
        QStringLiteral("URL"), result.settings.publicPage);
    parser.addOption(publicPage);
    const QCommandLineOption report(QStringLiteral("report"),
                                    QStringLiteral("Gather once and print the facts as text, without a window."));
    parser.addOption(report);
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("Gather once and print the facts as one JSON object."));
    parser.addOption(json);

    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.isSet(help)) {
        result.exitStatus = 0;
        // The parser names the program only once an application object
        // exists, which is after this.
        const QString name = arguments.isEmpty() ? kProgram : QFileInfo(arguments.first()).fileName();
        const QString help = parser.helpText();
        result.output = QStringLiteral("Usage: %1 [options]").arg(name) + help.mid(help.indexOf(QLatin1Char('\n')));
        return result;
    }
    if (parser.isSet(version)) {
        result.exitStatus = 0;
        result.output = kProgram + QLatin1Char(' ') + kVersion + QLatin1Char('\n');
        return result;
    }
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));

    if (parser.isSet(report) && parser.isSet(json))
        return fail(QStringLiteral("--report and --json cannot be used together"));
    result.mode = parser.isSet(report) ? RunMode::TextReport : parser.isSet(json) ? RunMode::Json : RunMode::Window;

    const QString page = parser.value(publicPage);
    if (!page.isEmpty() && !isPageAddress(page))
        return fail(QStringLiteral("--public-page: not an http or https address: '%1'").arg(page));
    result.settings.publicPage = page;
    return result;
}

CommandLine readCommandLine(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    CommandLine result = parseCommandLine(arguments);
    print(stdout, result.output);
    print(stderr, result.error);
    return result;
}

} // namespace qni
