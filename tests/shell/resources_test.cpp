// Reads the resources back out of the built executables, the way Windows and
// the program itself find them, rather than trusting the .rc text.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

struct BuiltProgram {
    const char* label;
    const char* path;
    const char* architecture;  // as the manifest must name it
};

const BuiltProgram PROGRAMS[] = {
    {"ThisBuild", TRAMOLIVENGA_EXE, sizeof(void*) == 8 ? "amd64" : "x86"},
    {"ShippedI686", TRAMOLIVENGA_I686_EXE, "x86"},
};

// CMake hands over host paths; under Wine the host root is drive Z:.
std::string windowsPath(std::string path)
{
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path.compare(0, 1, "\\") == 0 ? "Z:" + path : path;
}

unsigned word(const std::vector<unsigned char>& data, size_t offset)
{
    return data.at(offset) | data.at(offset + 1) << 8;
}

unsigned dword(const std::vector<unsigned char>& data, size_t offset)
{
    return word(data, offset) | word(data, offset + 2) << 16;
}

// The value of name="..." in the first <assemblyIdentity .../> tag at or after from.
std::string identityAttribute(const std::string& xml, size_t from, const std::string& name)
{
    const size_t tag = xml.find("<assemblyIdentity", from);
    const size_t start = xml.find(" " + name + "=\"", tag);
    if (tag == std::string::npos || start > xml.find('>', tag))
        return "<missing " + name + ">";
    const size_t value = start + name.size() + 3;
    return xml.substr(value, xml.find('"', value) - value);
}

class ResourcesTest : public testing::TestWithParam<BuiltProgram> {
protected:
    void SetUp() override
    {
        path = windowsPath(GetParam().path);
        module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr) << "cannot load " << path << " (the shipped program comes from the win32"
                                   << " preset; the CMake cache variable TRAMOLIVENGA_I686_EXE points at it)";
    }
    void TearDown() override
    {
        if (module != nullptr)
            FreeLibrary(module);
    }
    std::vector<unsigned char> resource(LPCSTR name, LPCSTR type)
    {
        HRSRC found = FindResourceA(module, name, type);
        if (found == nullptr)
            return {};
        const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(module, found)));
        return std::vector<unsigned char>(bytes, bytes + SizeofResource(module, found));
    }

    std::string path;
    HMODULE module = nullptr;
};

TEST_P(ResourcesTest, MainIconHoldsThe16_32And48PixelImagesIn16Colours)
{
    std::vector<unsigned char> group = resource("MAINICON", MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    ASSERT_GE(group.size(), 6u) << "no icon group MAINICON";
    EXPECT_EQ(word(group, 2), 1u);  // icons, not cursors
    ASSERT_EQ(word(group, 4), 3u);
    ASSERT_EQ(group.size(), 6u + 14u * 3);

    std::set<unsigned> sizes;
    for (size_t entry = 6; entry < group.size(); entry += 14) {
        const unsigned size = group[entry];
        SCOPED_TRACE("image " + std::to_string(size) + " x " + std::to_string(size));
        sizes.insert(size);
        // Square, 16 colours, one plane, 4 bits per pixel.
        EXPECT_EQ(std::make_tuple(group[entry + 1] + 0u, group[entry + 2] + 0u, word(group, entry + 4), word(group, entry + 6)),
                  std::make_tuple(size, 16u, 1u, 4u));

        // The image must say the same as its directory entry: a header,
        // 16 palette entries, the colour bits and the mask.
        const std::vector<unsigned char> image =
            resource(MAKEINTRESOURCEA(word(group, entry + 12)), MAKEINTRESOURCEA(3));  // RT_ICON
        const size_t colourRow = (size * 4 + 31) / 32 * 4, maskRow = (size + 31) / 32 * 4;
        const size_t colourBits = 40 + 16 * 4, maskBits = colourBits + colourRow * size;
        ASSERT_EQ(image.size(), dword(group, entry + 8));
        ASSERT_EQ(image.size(), maskBits + maskRow * size);
        // Header size, width, height of colour bits and mask, bits per pixel, BI_RGB.
        EXPECT_EQ(std::make_tuple(dword(image, 0), dword(image, 4), dword(image, 8), word(image, 14), dword(image, 16)),
                  std::make_tuple(40u, size, 2 * size, 4u, 0u));

        // Transparent pixels must be black in the colour bits, or they would
        // be XORed onto the taskbar; and the picture must not be empty.
        unsigned opaque = 0;
        for (size_t y = 0; y < size; ++y) {
            for (size_t x = 0; x < size; ++x) {
                const bool transparent = image[maskBits + y * maskRow + x / 8] >> (7 - x % 8) & 1;
                const unsigned colour = image[colourBits + y * colourRow + x / 2] >> (x % 2 == 0 ? 4 : 0) & 15;
                if (!transparent)
                    ++opaque;
                else
                    EXPECT_EQ(colour, 0u) << "at " << x << ", " << y;
            }
        }
        EXPECT_GT(opaque, size * size / 2);
    }
    EXPECT_EQ(sizes, (std::set<unsigned>{16, 32, 48}));
}

TEST_P(ResourcesTest, TrayMenuHasTheJapaneseItemsWithTheirIds)
{
    // The expected texts are Shift-JIS bytes, so the ANSI code page must be 932.
    ASSERT_EQ(GetACP(), 932u) << "run under LANG=ja_JP.UTF-8";
    HMENU menu = LoadMenuA(module, "THEMENU");
    ASSERT_NE(menu, nullptr);
    char text[64];
    EXPECT_EQ(GetMenuItemCount(menu), 1);
    GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "dummy");
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_EQ(GetMenuItemCount(popup), 4);

    const struct {
        UINT id;
        const char* shiftJis;  // null for the separator
    } expected[] = {
        {10000, "\x90\xDD\x92\xE8"},  // 設定
        {10001, "\x91\x66\x90\x94\x94\xBB\x92\xE8\x82\xF0\x88\xEA\x8E\x9E\x92\xE2\x8E\x7E"},  // 素数判定を一時停止
        {0, nullptr},
        {10002, "\x8F\x49\x97\xB9"},  // 終了
    };
    for (UINT position = 0; position < 4; ++position) {
        SCOPED_TRACE("item " + std::to_string(position));
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU;
        ASSERT_TRUE(GetMenuItemInfoA(popup, position, TRUE, &info));
        EXPECT_EQ(info.wID, expected[position].id);
        EXPECT_EQ(info.hSubMenu, nullptr);
        EXPECT_EQ(info.fType, static_cast<UINT>(expected[position].shiftJis ? MFT_STRING : MFT_SEPARATOR));
        if (expected[position].shiftJis == nullptr)
            continue;
        EXPECT_EQ(info.fState, static_cast<UINT>(MFS_ENABLED | MFS_UNCHECKED));
        GetMenuStringA(popup, position, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, expected[position].shiftJis);
    }
    DestroyMenu(menu);
}

TEST_P(ResourcesTest, ManifestNamesTheProgramItsArchitectureAndCommonControls6)
{
    std::vector<unsigned char> bytes = resource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    ASSERT_FALSE(bytes.empty()) << "no manifest with id 1, the one the loader reads";
    const std::string xml(bytes.begin(), bytes.end());

    const size_t dependency = xml.find("<dependentAssembly>");
    ASSERT_NE(dependency, std::string::npos);
    ASSERT_LT(xml.find("<assemblyIdentity"), dependency) << "the program's own identity comes first";
    EXPECT_EQ(identityAttribute(xml, 0, "type"), "win32");
    EXPECT_EQ(identityAttribute(xml, 0, "name"), "tramolivenga.exe");
    EXPECT_EQ(identityAttribute(xml, 0, "version"), "1.0.0.0");
    EXPECT_EQ(identityAttribute(xml, 0, "processorArchitecture"), GetParam().architecture);
    // Without the exact public key token the visual styles are not bound.
    EXPECT_EQ(identityAttribute(xml, dependency, "type"), "win32");
    EXPECT_EQ(identityAttribute(xml, dependency, "name"), "Microsoft.Windows.Common-Controls");
    EXPECT_EQ(identityAttribute(xml, dependency, "version"), "6.0.0.0");
    EXPECT_EQ(identityAttribute(xml, dependency, "publicKeyToken"), "6595b64144ccf1df");

    // A manifest the loader cannot parse or resolve stops the program from starting.
    ACTCTXA request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = path.c_str();
    request.lpResourceName = MAKEINTRESOURCEA(1);
    HANDLE context = CreateActCtxA(&request);
    EXPECT_NE(context, INVALID_HANDLE_VALUE) << "error " << GetLastError();
    if (context != INVALID_HANDLE_VALUE)
        ReleaseActCtx(context);
}

TEST_P(ResourcesTest, VersionBlockIs1_0_0_0ForFileAndProduct)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version block";
    std::vector<unsigned char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof *fixed);
    EXPECT_EQ(std::make_tuple(fixed->dwSignature, fixed->dwFileVersionMS, fixed->dwFileVersionLS,
                              fixed->dwProductVersionMS, fixed->dwProductVersionLS, fixed->dwFileType),
              std::make_tuple(0xFEEF04BDu, 0x00010000u, 0u, 0x00010000u, 0u, static_cast<DWORD>(VFT_APP)));

    // The texts shown in the file's properties must agree with the numbers.
    for (const char* name : {"FileVersion", "ProductVersion"}) {
        const std::string query = std::string("\\StringFileInfo\\041103A4\\") + name;
        char* value = nullptr;
        ASSERT_TRUE(VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) << query;
        EXPECT_STREQ(value, "1.0.0.0") << name;
    }
}

INSTANTIATE_TEST_SUITE_P(BuiltPrograms, ResourcesTest, testing::ValuesIn(PROGRAMS),
                         [](const testing::TestParamInfo<BuiltProgram>& info) { return info.param.label; });

}  // namespace
