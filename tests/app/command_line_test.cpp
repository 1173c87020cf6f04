// SPDX-License-Identifier: MIT
#include "app/command_line.h"

#include <gtest/gtest.h>

using namespace qni;

TEST(CommandLine, OptionsAndTheirRefusals)
{
    const struct {
        QStringList arguments;
        std::optional<int> exitStatus;
        QString publicPage;
        QString output; // start of what goes to standard output
        QString error;
    } cases[] = {
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
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CommandLine line = parseCommandLine(QStringList{"/usr/bin/quarn-network-information"} + c.arguments);
        EXPECT_EQ(line.exitStatus, c.exitStatus);
        if (!c.exitStatus) {
            EXPECT_EQ(line.settings.publicPage, c.publicPage);
        }
        EXPECT_EQ(line.output.left(c.output.size()), c.output);
        EXPECT_EQ(line.output.isEmpty(), c.output.isEmpty());
        EXPECT_EQ(line.error, c.error);
    }
}
