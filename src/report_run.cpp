#include "report_run.h"

#include "app/gather.h"
#include "app/report.h"
#include "platform/platform.h"
#include "ui/main_window.h"

#include <QCommandLineParser>

#include <cstdio>

namespace qni {

namespace {

const QString kReportName = QStringLiteral("report");
const QString kJsonName = QStringLiteral("json");

void sayOnStandardError(const QString& text)
{
    std::fprintf(stderr, "quarn-network-information: %s\n", qUtf8Printable(text));
}

// A report's standard error carries its own lines only; Qt's notes about
// fonts or runtime folders mean nothing to someone reading facts over SSH.
void keepSeriousMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        sayOnStandardError(message);
}

} // namespace

QList<QCommandLineOption> reportOptions()
{
    return {
        QCommandLineOption(kReportName, QStringLiteral("Gather once and print the facts as text, without a window.")),
        QCommandLineOption(kJsonName, QStringLiteral("Gather once and print the facts as one JSON object.")),
    };
}

std::optional<RunMode> runModeOf(const QCommandLineParser& parser, QString* error)
{
    const bool report = parser.isSet(kReportName);
    const bool json = parser.isSet(kJsonName);
    if (report && json) {
        *error = QStringLiteral("--report and --json cannot be used together");
        return std::nullopt;
    }
    return report ? RunMode::TextReport : json ? RunMode::Json : RunMode::Window;
}

std::optional<RunMode> runModeFromArguments(const QStringList& arguments, QString* error)
{
    QCommandLineParser parser;
    parser.addOptions(reportOptions());
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return std::nullopt;
    }
    return runModeOf(parser, error);
}

void prepareReportRun()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(keepSeriousMessages);
}

int runReport(RunMode mode, Platform platform)
{
    FrmMain window(std::move(platform));
    window.setMessageHandler(sayOnStandardError);
    window.cmdGet_Click();

    const ReportFacts facts = reportFacts(window.boxes(), window.lastOutcome());
    const QByteArray out = mode == RunMode::Json ? jsonReport(facts) : textReport(facts);
    // A full disk or a closed pipe must not pass for a delivered report.
    if (std::fwrite(out.constData(), 1, out.size(), stdout) != size_t(out.size()) || std::fflush(stdout) != 0) {
        sayOnStandardError(QStringLiteral("the report could not be written to standard output"));
        return 1;
    }
    return window.lastOutcome().notXp ? 3 : 0;
}

} // namespace qni
