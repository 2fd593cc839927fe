#include "base/platform/u_registrystore.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/support/fake_system.h"
#include "tests/support/fifo_in_place.h"

namespace {

TEST(RegistryStore, ValueTextsFollowTheirTypes)
{
    const struct {
        TRegistryValue value;
        const char* text;
    } cases[] = {
        {RegistryString("Name", "Rock & Roll"), "Rock & Roll"},
        {{"Path", rtExpandString, "%mymusic%/a"}, "%mymusic%/a"},
        {RegistryDword("MinPerc", 80), "80"},
        {RegistryDword("Width", -1), "-1"},
        {{"Short", rtDword, std::string("\x01\x02\x03", 3)}, ""},
        {RegistryDouble("Date", 37.9), "37"},
        {RegistryDouble("Date", -2.5), "-2"},
        {RegistryDouble("Date", 0.0), "0"},
        {RegistryDouble("Largest", 9223372036854774784.0), "9223372036854774784"},
        {RegistryDouble("TwoToThe63", 9223372036854775808.0), ""},
        {RegistryDouble("Low", -9.2233720368547758e18), "-9223372036854775808"},
        {RegistryDouble("NaN", std::nan("")), ""},
        {RegistryDouble("Inf", std::numeric_limits<double>::infinity()), ""},
        {{"Seven", rtBinary, std::string(7, '\0')}, ""},
        {{"Nine", rtBinary, std::string(9, '\0')}, ""},
        {{"Multi", 7, std::string("a\0b\0", 4)}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RegistryValueText(c.value), c.text) << c.value.name;
}

TEST(RegistryStore, KeysAndValueNamesIgnoreCaseAndKeepTheirOrder)
{
    TRegistryStore store("unused");
    store.WriteValue("\\Software\\Maker\\App\\profiles\\Rock", RegistryDword("MinPerc", 80));
    store.WriteValue("Software\\Maker\\App\\profiles\\Jazz", RegistryString("Comment", "x"));
    store.WriteValue("SOFTWARE\\maker\\app\\PROFILES\\rock\\", RegistryDword("minperc", 90));
    store.WriteValue("Software\\Maker\\App\\profiles\\Rock", RegistryString("Comment", "y"));
    store.WriteValue("Software\\Maker\\App", RegistryDword("ConvertedToXML", 1));

    EXPECT_TRUE(store.KeyExists("software\\maker"));
    EXPECT_TRUE(store.KeyExists("Software\\Maker\\App\\profiles"));
    EXPECT_FALSE(store.KeyExists("Software\\Maker\\Ap"));
    EXPECT_FALSE(store.KeyExists("Software\\Maker\\App\\settings"));
    EXPECT_EQ(store.SubKeyNames("Software\\Maker\\App\\Profiles"),
              (std::vector<std::string>{"Rock", "Jazz"}));
    EXPECT_EQ(store.SubKeyNames("Software\\Maker"), std::vector<std::string>{"App"});

    const std::vector<TRegistryValue> rock = store.Values("software\\maker\\app\\profiles\\ROCK");
    ASSERT_EQ(rock.size(), 2u);
    EXPECT_EQ(rock[0].name, "MinPerc");  // replaced in its place, keeping its first name
    EXPECT_EQ(RegistryValueText(rock[0]), "90");
    EXPECT_EQ(RegistryValueText(rock[1]), "y");
    ASSERT_NE(store.FindValue("Software\\Maker\\App", "convertedtoxml"), nullptr);
    EXPECT_EQ(store.FindValue("Software\\Maker\\App", "Other"), nullptr);
    EXPECT_TRUE(store.Values("Software\\None").empty());
}

TEST(RegistryStore, SavedStoreLoadsBackByteForByte)
{
    TFakeSystem system;
    const std::string awkward("tab\there\nline %41 \r\x7f end\0zero", 30);
    TRegistryStore store(system.Path("registry.txt"));
    store.WriteValue("Software\\A\tB", {awkward, rtString, awkward});
    store.WriteValue("Software\\A\tB", RegistryDouble("Date", 45000.75));
    store.WriteValue("Software\\Other", {"", 11, std::string("\0\xff\n", 3)});
    ASSERT_TRUE(store.Save());

    TRegistryStore loaded(system.Path("registry.txt"));
    ASSERT_TRUE(loaded.Load());
    const std::vector<TRegistryValue> values = loaded.Values("Software\\A\tB");
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0].name, awkward);
    EXPECT_EQ(values[0].data, awkward);
    EXPECT_EQ(RegistryValueText(values[1]), "45000");
    const TRegistryValue* other = loaded.FindValue("Software\\Other", "");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->type, 11u);
    EXPECT_EQ(other->data, std::string("\0\xff\n", 3));
}

TEST(RegistryStore, MissingFileIsAnEmptyStoreAndMalformedLinesAreSkipped)
{
    TFakeSystem system;
    TRegistryStore missing(system.Path("none.txt"));
    EXPECT_TRUE(missing.Load());
    EXPECT_FALSE(missing.KeyExists("Software"));

    system.WriteFile("registry.txt",
                     "Software\\App\tMinPerc\t4\tP%00%00%00\n"
                     "Software\\App\tTooFew\t4\n"
                     "Software\\App\tBadType\tx4\tdata\n"
                     "Software\\App\tHugeType\t99999999999\tdata\n"
                     "\n");
    TRegistryStore store(system.Path("registry.txt"));
    ASSERT_TRUE(store.Load());
    const std::vector<TRegistryValue> values = store.Values("Software\\App");
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(RegistryValueText(values[0]), "80");

    EXPECT_FALSE(TRegistryStore(system.Path("")).Load());  // a folder cannot be read
}

// Start-up reads the store: what is no regular file is refused at once, with
// the reason for the message that names the file.
TEST(RegistryStore, AFifoOrADeviceIsRefusedWithItsReason)
{
    TFakeSystem system;
    const TFifoInPlace fifo(system.Path("registry.txt"));
    ASSERT_TRUE(fifo.Made());
    system.MakeLink("zero.txt", "/dev/zero");
    for (const char* name : {"registry.txt", "zero.txt"}) {
        TRegistryStore store(system.Path(name));
        EXPECT_FALSE(store.Load()) << name;
        EXPECT_NE(store.LoadFailure().find("not a file"), std::string::npos) << name;
    }
    TRegistryStore missing(system.Path("none.txt"));
    EXPECT_TRUE(missing.Load());
    EXPECT_EQ(missing.LoadFailure(), "");
}

// Every key and value of a large store is found again after a load, in any
// letter case, and a second write replaces instead of adding.
TEST(RegistryStore, ManyKeysLoadBackAndAreFoundInAnyCase)
{
    TFakeSystem system;
    constexpr int kKeys = 5000;
    TRegistryStore store(system.Path("registry.txt"));
    for (int i = 0; i < kKeys; ++i)
        store.WriteValue("Software\\App\\profiles\\P" + std::to_string(i), RegistryDword("MinPerc", i));
    ASSERT_TRUE(store.Save());

    TRegistryStore loaded(system.Path("registry.txt"));
    ASSERT_TRUE(loaded.Load());
    EXPECT_EQ(loaded.SubKeyNames("software\\app\\profiles").size(), static_cast<std::size_t>(kKeys));
    for (int i = 0; i < kKeys; i += 499) {
        const std::string key = "SOFTWARE\\app\\Profiles\\p" + std::to_string(i);
        loaded.WriteValue(key, RegistryDword("minperc", -i));
        const TRegistryValue* value = loaded.FindValue(key, "MINPERC");
        ASSERT_NE(value, nullptr) << key;
        EXPECT_EQ(RegistryValueText(*value), std::to_string(-i));
        EXPECT_EQ(loaded.Values(key).size(), 1u);
    }
}

}  // namespace
