// Loads hunspell.dll by its C interface and spells Danish with it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

struct Hunhandle;
using CreateFn = Hunhandle* (*)(const char*, const char*);
using DestroyFn = void (*)(Hunhandle*);
using SpellFn = int (*)(Hunhandle*, const char*);
using EncodingFn = char* (*)(Hunhandle*);
using SuggestFn = int (*)(Hunhandle*, char***, const char*);
using FreeListFn = void (*)(Hunhandle*, char***, int);

// The build hands over host paths; Wine shows the host's root as drive Z:.
std::string WinePath(std::string path)
{
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return "Z:" + path;
}

class HunspellDll : public testing::Test {
protected:
    void SetUp() override
    {
        Dll = LoadLibraryA(WinePath(HUNSPELL_DLL).c_str());
        ASSERT_NE(nullptr, Dll) << "LoadLibrary failed with " << GetLastError();
        Create = Get<CreateFn>("Hunspell_create");
        Destroy = Get<DestroyFn>("Hunspell_destroy");
        Spell = Get<SpellFn>("Hunspell_spell");
        Encoding = Get<EncodingFn>("Hunspell_get_dic_encoding");
        Suggest = Get<SuggestFn>("Hunspell_suggest");
        FreeList = Get<FreeListFn>("Hunspell_free_list");
        ASSERT_TRUE(Create && Destroy && Spell && Encoding && Suggest && FreeList);
        Handle = Create(WinePath(DANISH_AFF).c_str(), WinePath(DANISH_DIC).c_str());
        ASSERT_NE(nullptr, Handle);
    }
    void TearDown() override
    {
        if (Handle)
            Destroy(Handle);
        if (Dll)
            FreeLibrary(Dll);
    }
    template <class F>
    F Get(const char* name)
    {
        F f = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(Dll, name)));
        EXPECT_NE(nullptr, reinterpret_cast<void*>(f)) << "no export " << name;
        return f;
    }

    HMODULE Dll = nullptr;
    Hunhandle* Handle = nullptr;
    CreateFn Create = nullptr;
    DestroyFn Destroy = nullptr;
    SpellFn Spell = nullptr;
    EncodingFn Encoding = nullptr;
    SuggestFn Suggest = nullptr;
    FreeListFn FreeList = nullptr;
};

// The Danish dictionary is stored in UTF-8, so words are passed in UTF-8.
TEST_F(HunspellDll, SpellsDanishInTheDictionarysEncoding)
{
    EXPECT_STREQ("UTF-8", Encoding(Handle));
    const struct {
        const char* Word;
        int Correct;
    } cases[] = {
        {"hus", 1}, {"husene", 1}, {"s\xc3\xb8ndag", 1}, {"K\xc3\xb8" "benhavn", 1}, {"\xc3\xa6" "ble", 1},
        {"huus", 0}, {"sondag", 0}, {"xqzv", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Word);
        EXPECT_EQ(c.Correct, Spell(Handle, c.Word) != 0);
    }
}

TEST_F(HunspellDll, SuggestsTheWordForAMisspelling)
{
    char** list = reinterpret_cast<char**>(0xdeadbeef);
    const int n = Suggest(Handle, &list, "huus");
    ASSERT_GT(n, 0);
    bool found = false;
    std::string all;
    for (int i = 0; i < n; ++i) {
        found = found || std::string(list[i]) == "hus";
        all += std::string(list[i]) + " ";
    }
    EXPECT_TRUE(found) << "suggestions: " << all;
    FreeList(Handle, &list, n);
}

}  // namespace
