// Bad machine descriptions of every kind, handed to the real executable: it
// must neither hang nor crash, but write one line naming the file and the
// fault and exit with status 2 before any window opens.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

constexpr int kTimeoutMs = 20000;

struct Exit {
    int code = -1; // -1: crashed or did not end in time
    QByteArray err;
};

Exit runProgram(const QString& machine)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QNI_MACHINE"), machine);
    // A description that is accepted opens the window; it then ends at once.
    env.insert(QStringLiteral("QNI_EXIT_WHEN_SHOWN"), QStringLiteral("1"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QNI_BIN_DIR "/quarn-network-information"), {});
    if (!p.waitForFinished(kTimeoutMs)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardError()};
}

QByteArray nested(const char* open, const char* close, int depth)
{
    return QByteArray(open).repeated(depth) + QByteArray(close).repeated(depth);
}

QByteArray utf16le(const QString& text)
{
    return QByteArray("\xff\xfe") + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

// How a case puts its description in place: writes the bytes to `path`, or
// makes something else there.
using Make = std::function<void(const QString& path)>;

Make bytes(QByteArray content)
{
    return [content](const QString& path) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(content), content.size());
    };
}

Make member(const char* json) { return bytes(QByteArray(json)); }

struct Case {
    const char* name;
    Make make;
    int code;           // expected exit status
    const char* fault;  // expected in the message
    const char* file = "machine.json";
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class Descriptions : public ::testing::TestWithParam<Case> {};

TEST_P(Descriptions, RefusedOnOneLineOrAccepted)
{
    const Case& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QString::fromUtf8(c.file));
    c.make(path);
    const Exit e = runProgram(path);
    ASSERT_EQ(e.code, c.code) << e.err.toStdString();
    if (c.code != 2)
        return;
    EXPECT_EQ(e.err.count('\n'), 1) << e.err.toStdString();
    EXPECT_TRUE(e.err.endsWith('\n')) << e.err.toStdString();
    EXPECT_TRUE(e.err.contains(dir.path().toUtf8())) << e.err.toStdString();
    EXPECT_TRUE(e.err.contains(c.fault)) << e.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    RealExecutable, Descriptions,
    ::testing::Values(
        // Sizes and depths.
        Case{"arrays_nested_100000_deep", bytes(nested("[", "]", 100000)), 2, "too deeply nested"},
        Case{"objects_nested_100000_deep",
             bytes("{\"registry\": " + nested("{\"a\": ", "}", 100000) + "}"), 2, "too deeply nested"},
        Case{"file_of_70_MB", bytes(QByteArray(70 << 20, ' ') + "{}"), 2, "larger than"},
        // What is there is not a file.
        Case{"fifo_with_no_writer", [](const QString& p) { ASSERT_EQ(::mkfifo(QFile::encodeName(p), 0600), 0); },
             2, "not a regular file"},
        Case{"character_device",
             [](const QString& p) { ASSERT_EQ(::symlink("/dev/zero", QFile::encodeName(p)), 0); }, 2,
             "not a regular file"},
        Case{"dangling_link",
             [](const QString& p) { ASSERT_EQ(::symlink("absent.json", QFile::encodeName(p)), 0); }, 2,
             "no such file"},
        // Encodings.
        Case{"utf8_byte_order_mark", bytes("\xef\xbb\xbf{\"publicPage\": \"81.2.3.4\"}"), 0, ""},
        Case{"utf16_text", bytes(utf16le(QStringLiteral("{\"publicPage\": \"81.2.3.4\"}"))), 2, "line 1, column"},
        Case{"invalid_utf8_in_a_string", bytes("{\"publicPage\": \"\xff\xfe\"}"), 2, "invalid UTF8 string"},
        Case{"utf8_encoded_surrogate", bytes("{\"publicPage\": \"\xed\xa0\x80\"}"), 2, "invalid UTF8 string"},
        // Raw control characters in a string are taken as text, as Qt reads JSON.
        Case{"nul_inside_a_string", bytes(QByteArray("{\"publicPage\": \"a\0b\"}", 21)), 0, ""},
        // Syntax.
        Case{"truncated", member("{\"registry\": {\"a\": "), 2, "line 1, column"},
        Case{"garbage_after_the_object", member("{}\n}"), 2, "line 2, column 1"},
        Case{"number_beyond_double", member("{\"localAddress\": 1e400}"), 2, "illegal number"},
        Case{"nan_literal", member("{\"localAddress\": NaN}"), 2, "line 1, column"},
        Case{"top_level_string", member("\"machine\""), 2, "line 1, column"},
        // Shape.
        Case{"number_as_instance", member("{\"management\": {\"Win32_Processor\": [5]}}"), 2, "expected an object"},
        Case{"string_as_class", member("{\"management\": {\"Win32_Processor\": \"cpu\"}}"), 2,
             "expected an array of instances"},
        Case{"object_as_property",
             member("{\"management\": {\"Win32_Processor\": [{\"CurrentClockSpeed\": {}}]}}"), 2,
             "expected a string, number, boolean"},
        Case{"numbers_in_a_property_array",
             member("{\"management\": {\"Win32_NetworkAdapterConfiguration\": [{\"IPSubnet\": [255]}]}}"), 2,
             "only strings"},
        Case{"boolean_registry_value", member("{\"registry\": {\"HKEY_LOCAL_MACHINE\\\\X\": true}}"), 2,
             "expected a string, number, null"},
        Case{"registry_as_array", member("{\"registry\": []}"), 2, "expected an object"},
        Case{"commands_null", member("{\"commands\": null}"), 2, "must not be null"},
        Case{"command_output_number", member("{\"commands\": {\"ipconfig /all\": 5}}"), 2, "expected a string"},
        Case{"local_address_number", member("{\"localAddress\": 192}"), 2, "expected a string"},
        Case{"public_page_array", member("{\"publicPage\": [\"81.2.3.4\"]}"), 2, "expected a string"},
        Case{"unknown_member", member("{\"publicpage\": \"81.2.3.4\"}"), 2, "unknown member"},
        // Names match without regard to case: two spellings of one name
        // would leave one of them silently unused.
        Case{"class_named_twice",
             member("{\"management\": {\"Win32_Processor\": [], \"WIN32_PROCESSOR\": [{}]}}"), 2,
             "named twice"},
        Case{"registry_path_named_twice",
             member("{\"registry\": {\"HKEY_LOCAL_MACHINE\\\\A\": \"1\", \"hkey_local_machine\\\\a\": \"2\"}}"), 2,
             "named twice"},
        Case{"property_named_twice",
             member("{\"management\": {\"Win32_Processor\": [{\"CurrentClockSpeed\": 1, "
                    "\"currentclockspeed\": 2}]}}"),
             2, "named twice"},
        // The message stays on one line whatever the names in it hold.
        Case{"newline_in_the_file_name", member("[]"), 2, "expected a JSON object", "bad\nname.json"},
        Case{"newline_in_a_member_name", member("{\"public\\nPage\": \"81.2.3.4\"}"), 2, "unknown member"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
