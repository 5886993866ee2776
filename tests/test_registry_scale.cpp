// Registries at real-world size, and damaged ones: many siblings, deep
// nesting, and the order enumeration gives.
#include <gtest/gtest.h>

#include <string>

#include "platform/machine/Machine.h"
#include "platform/machine/Registry.h"
#include "platform/simulated/RegFile.h"

using namespace torvex::platform;

TEST(RegistryScale, ManySiblingsFoundInAnyCaseAndEnumeratedInExportOrder) {
    RegKey clsid("CLSID");
    // Names made in an order that is neither sorted nor hashed.
    const int n = 2000;
    for (int i = 0; i < n; ++i) clsid.ensureChild("{Key-" + std::to_string((i * 7919) % n) + "}");
    ASSERT_EQ(clsid.children().size(), std::size_t(n));
    for (int i = 0; i < n; ++i) EXPECT_EQ(clsid.children()[std::size_t(i)]->name(), "{Key-" + std::to_string((i * 7919) % n) + "}");
    // Look-ups ignore letter case and give the one key, never a second.
    RegKey* k = clsid.child("{KEY-1234}");
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(k->name(), "{Key-1234}");
    EXPECT_EQ(&clsid.ensureChild("{key-1234}"), k);
    EXPECT_EQ(clsid.children().size(), std::size_t(n));
    EXPECT_EQ(clsid.child("{Key-2000}"), nullptr);
    // Removing and adding keep the look-up and the order right.
    EXPECT_TRUE(clsid.removeChild("{key-1234}"));
    EXPECT_EQ(clsid.child("{Key-1234}"), nullptr);
    EXPECT_FALSE(clsid.removeChild("{Key-1234}"));
    RegKey& again = clsid.ensureChild("{Key-1234}");
    EXPECT_EQ(clsid.children().back().get(), &again);
    EXPECT_EQ(clsid.find("{KEY-1234}"), &again);
    EXPECT_EQ(clsid.children().size(), std::size_t(n));
}

TEST(RegistryScale, KeysDeeperThan512LevelsAreRefusedWithFileAndLine) {
    auto file = [](int depth) {
        std::string path = "HKEY_LOCAL_MACHINE";
        for (int i = 0; i < depth; ++i) path += "\\k";
        return "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\n\"a\"=\"b\"\n\n[" + path + "]\n\"v\"=\"1\"\n";
    };
    Registry ok;
    ApplyRegFile(file(512), "deep.reg", ok);
    std::string path;
    for (int i = 0; i < 512; ++i) path += "k\\";
    RegKey* deepest = ok.root(RegRoot::LocalMachine).find(path);
    ASSERT_NE(deepest, nullptr);
    EXPECT_EQ(deepest->value("v")->text(), "1");

    Registry r;
    try {
        ApplyRegFile(file(513), "deep.reg", r);
        FAIL() << "a key 513 levels deep was accepted";
    } catch (const MachineError& e) {
        EXPECT_EQ(e.file(), "deep.reg");
        EXPECT_EQ(e.line(), 6);
        EXPECT_NE(std::string(e.what()).find("513 levels"), std::string::npos) << e.what();
    }
}

TEST(RegistryScale, AVeryDeepTreeIsFreedWithoutRecursion) {
    // 200,000 levels: freeing this recursively overflows any default stack.
    std::string path;
    path.reserve(400000);
    for (int i = 0; i < 200000; ++i) path += "k\\";
    auto root = std::make_unique<RegKey>("root");
    RegKey& bottom = root->ensure(path);
    bottom.setValue(RegValue::Dword("x", 1));
    EXPECT_EQ(root->find(path), &bottom);
    root.reset();
    SUCCEED();
}
