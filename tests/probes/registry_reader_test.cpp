#include "platform/registry.h"
#include "probes/registry_reader.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

using namespace qni;
using qni::test::FakePlatform;

TEST(ReadRegValue, ValueKinds)
{
    FakePlatform f;
    const QString path = QStringLiteral("HKEY_LOCAL_MACHINE\\X\\V");
    struct Case {
        Variant value;
        QString expected;
    } cases[] = {
        {Variant::text(QStringLiteral("2600")), QStringLiteral("2600")},
        {Variant::text(QString()), QString()},
        {Variant::number(2600), QStringLiteral("2600")},
        {Variant::array({QStringLiteral("a"), QStringLiteral("b")}), QString()}, // multi-string has no text
        {Variant::null(), QString()},
    };
    for (const auto& c : cases) {
        f.registry->values[path] = c.value;
        EXPECT_EQ(ReadRegValue(f.platform(), path), c.expected);
    }
}

TEST(ReadRegValue, MissingValueOrShellGivesEmptyText)
{
    FakePlatform f;
    EXPECT_EQ(ReadRegValue(f.platform(), regpath::kBuildLab), QString());
    f.registry->available = false;
    f.registry->values[regpath::kBuildLab] = Variant::text(QStringLiteral("xp"));
    EXPECT_EQ(ReadRegValue(f.platform(), regpath::kBuildLab), QString());
}
