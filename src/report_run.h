#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QCommandLineParser;

namespace qni {

struct Platform;

// How one start of the program answers: with its window, or with one gather
// printed on standard output.
enum class RunMode { Window, TextReport, Json };

// --report and --json, for whichever parser reads the command line.
QList<QCommandLineOption> reportOptions();

// The mode found by a parser that carried reportOptions(); nullopt, with
// *error set, when both were given.
std::optional<RunMode> runModeOf(const QCommandLineParser& parser, QString* error);

// The mode from the whole command line, for a start with no parser of its
// own: any other option is an error.
std::optional<RunMode> runModeFromArguments(const QStringList& arguments, QString* error);

// Must run before the application object exists: a report needs no display,
// so it takes the offscreen platform unless the user chose one.
void prepareReportRun();

// One gather exactly as the window runs it, on the main window created but
// never shown; prints the report and returns the exit status: 0 gathered,
// 3 not Windows XP (the object is still printed), 1 when standard output
// could not take the report.
int runReport(RunMode mode, Platform platform);

} // namespace qni
