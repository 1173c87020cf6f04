// SPDX-License-Identifier: MIT
#include "app/command_line.h"

#include <gtest/gtest.h>

using namespace qni;

TEST(CommandLine, OptionsAndTheirRefusals)
{
    // The arguments; the exit status, the page, the start of standard output, standard error.
    const std::tuple<QStringList, std::optional<int>, QString, QString, QString> cases[] = {
        {{}, std::nullopt, "https://api.ipify.org", "", ""},
        {{"--public-page", "http://127.0.0.1:8080/ip"}, std::nullopt, "http://127.0.0.1:8080/ip", "", ""},
        {{"--public-page=HTTPS://example.org"}, std::nullopt, "HTTPS://example.org", "", ""},
        {{"--public-page", ""}, std::nullopt, "", "", ""},
        {{"--version"}, 0, "", "quarn-network-information 1.0.0\n", ""},
        {{"--help"}, 0, "", "Usage: quarn-network-information [options]\n", ""},
        {{"--public-page", "ftp://example.org"}, 2, "", "",
         "quarn-network-information: --public-page: not an http or https address: 'ftp://example.org'\n"},
        {{"--public-page", "http://"}, 2, "", "",
         "quarn-network-information: --public-page: not an http or https address: 'http://'\n"},
        {{"--public-page", "https://a\nb"}, 2, "", "",
         "quarn-network-information: --public-page: not an http or https address: 'https://a?b'\n"},
        {{"--public-page"}, 2, "", "", "quarn-network-information: Missing value after '--public-page'.\n"},
        {{"--report-everything"}, 2, "", "", "quarn-network-information: Unknown option 'report-everything'.\n"},
        {{"now"}, 2, "", "", "quarn-network-information: unexpected argument 'now'\n"},
    };
    for (const auto& [arguments, exitStatus, publicPage, output, error] : cases) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const CommandLine line = parseCommandLine(QStringList{"/usr/bin/quarn-network-information"} + arguments);
        EXPECT_EQ(line.exitStatus, exitStatus);
        EXPECT_TRUE(exitStatus || line.settings.publicPage == publicPage) << line.settings.publicPage.toStdString();
        EXPECT_EQ(line.output.left(output.size()), output);
        EXPECT_EQ(line.output.isEmpty(), output.isEmpty());
        EXPECT_EQ(line.error, error);
    }
}
