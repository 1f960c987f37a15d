// Reads the resources back out of the built executables, the way Windows and
// the program itself find them, rather than trusting the .rc text.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "shell/menu_ids.h"

namespace {

struct BuiltProgram {
    const char *label;
    const char *path;
    const char *architecture;  // as the manifest must name it
};

const BuiltProgram PROGRAMS[] = {
    {"ThisBuild", TRAMOLIVENGA_EXE, sizeof(void *) == 8 ? "amd64" : "x86"},
    {"ShippedI686", TRAMOLIVENGA_I686_EXE, "x86"},
};

// Names the program in gtest's failure messages.
void PrintTo(const BuiltProgram &program, std::ostream *out) {
    *out << program.label << " " << program.path;
}

// CMake hands over host paths; under Wine the host root is drive Z:.
std::string windowsPath(const char *path) {
    std::string result = path;
    if (!result.empty() && result[0] == '/') {
        result = "Z:" + result;
    }
    for (char &c : result) {
        if (c == '/') {
            c = '\\';
        }
    }
    return result;
}

unsigned readWord(const std::vector<unsigned char> &data, size_t offset) {
    return data.at(offset) | data.at(offset + 1) << 8;
}

unsigned long readDword(const std::vector<unsigned char> &data, size_t offset) {
    return readWord(data, offset) | static_cast<unsigned long>(readWord(data, offset + 2)) << 16;
}

long readLong(const std::vector<unsigned char> &data, size_t offset) {
    return static_cast<long>(static_cast<int32_t>(readDword(data, offset)));
}

// The value of name="..." inside one XML start tag.
std::string attribute(const std::string &tag, const std::string &name) {
    const std::string key = " " + name + "=\"";
    size_t start = tag.find(key);
    if (start == std::string::npos) {
        return "<missing " + name + ">";
    }
    start += key.size();
    return tag.substr(start, tag.find('"', start) - start);
}

// The first <assemblyIdentity .../> tag at or after `from`.
std::string assemblyIdentityTag(const std::string &xml, size_t from) {
    size_t start = xml.find("<assemblyIdentity", from);
    if (start == std::string::npos) {
        return "";
    }
    return xml.substr(start, xml.find('>', start) - start);
}

class ResourcesTest : public testing::TestWithParam<BuiltProgram> {
protected:
    void SetUp() override {
        path = windowsPath(GetParam().path);
        module = LoadLibraryExA(path.c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr)
            << "cannot load " << path
            << " (the shipped program comes from the win32 preset; the CMake cache variable"
               " TRAMOLIVENGA_I686_EXE points at it)";
    }

    void TearDown() override {
        if (module != nullptr) {
            FreeLibrary(module);
        }
    }

    std::vector<unsigned char> resource(LPCSTR name, LPCSTR type) {
        HRSRC found = FindResourceA(module, name, type);
        if (found == nullptr) {
            return {};
        }
        const auto *bytes = static_cast<const unsigned char *>(LockResource(LoadResource(module, found)));
        return std::vector<unsigned char>(bytes, bytes + SizeofResource(module, found));
    }

    std::string path;
    HMODULE module = nullptr;
};

TEST_P(ResourcesTest, MainIconHoldsThe16_32And48PixelImagesIn16Colours) {
    std::vector<unsigned char> group = resource("MAINICON", MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    ASSERT_GE(group.size(), 6u) << "no icon group MAINICON";
    EXPECT_EQ(readWord(group, 2), 1u);  // icons, not cursors
    const unsigned count = readWord(group, 4);
    ASSERT_EQ(count, 3u);
    ASSERT_EQ(group.size(), 6u + 14u * count);

    std::set<unsigned> sizes;
    for (unsigned i = 0; i < count; ++i) {
        const size_t entry = 6 + 14 * i;
        const unsigned size = group[entry];
        SCOPED_TRACE("image " + std::to_string(size) + " x " + std::to_string(size));
        sizes.insert(size);
        EXPECT_EQ(group[entry + 1], size);          // square
        EXPECT_EQ(group[entry + 2], 16u);           // colours
        EXPECT_EQ(readWord(group, entry + 4), 1u);  // planes
        EXPECT_EQ(readWord(group, entry + 6), 4u);  // bits per pixel

        // The image itself must say the same as its directory entry.
        std::vector<unsigned char> image =
            resource(MAKEINTRESOURCEA(readWord(group, entry + 12)), MAKEINTRESOURCEA(3));  // RT_ICON
        const size_t colourRow = (size * 4 + 31) / 32 * 4;
        const size_t maskRow = (size + 31) / 32 * 4;
        const size_t colourBits = 40 + 16 * 4;
        const size_t maskBits = colourBits + colourRow * size;
        ASSERT_EQ(image.size(), readDword(group, entry + 8));
        ASSERT_EQ(image.size(), maskBits + maskRow * size);
        EXPECT_EQ(readDword(image, 0), 40u);
        EXPECT_EQ(readLong(image, 4), static_cast<long>(size));
        EXPECT_EQ(readLong(image, 8), static_cast<long>(2 * size));  // colour bits and mask
        EXPECT_EQ(readWord(image, 14), 4u);
        EXPECT_EQ(readDword(image, 16), static_cast<unsigned long>(BI_RGB));

        // Transparent pixels must be black in the colour bits, or they would
        // be XORed onto the taskbar; and the picture must not be empty.
        unsigned opaque = 0;
        for (size_t y = 0; y < size; ++y) {
            for (size_t x = 0; x < size; ++x) {
                const bool transparent = image[maskBits + y * maskRow + x / 8] >> (7 - x % 8) & 1;
                const unsigned colour = image[colourBits + y * colourRow + x / 2] >> (x % 2 == 0 ? 4 : 0) & 15;
                if (transparent) {
                    EXPECT_EQ(colour, 0u) << "at " << x << ", " << y;
                } else {
                    ++opaque;
                }
            }
        }
        EXPECT_GT(opaque, size * size / 2);

        // And the platform can turn it into an icon with a mask.
        HICON icon = CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE,
                                              0x00030000, static_cast<int>(size), static_cast<int>(size),
                                              LR_DEFAULTCOLOR);
        ASSERT_NE(icon, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        EXPECT_TRUE(info.fIcon);
        BITMAP mask{};
        ASSERT_NE(info.hbmMask, nullptr);
        GetObjectA(info.hbmMask, sizeof mask, &mask);
        EXPECT_EQ(mask.bmWidth, static_cast<LONG>(size));
        DeleteObject(info.hbmMask);
        if (info.hbmColor != nullptr) {
            DeleteObject(info.hbmColor);
        }
        DestroyIcon(icon);
    }
    EXPECT_EQ(sizes, (std::set<unsigned>{16, 32, 48}));

    // The sizes the program asks LoadImageA for are found exactly, not scaled.
    for (int size : {16, 32}) {
        int id = LookupIconIdFromDirectoryEx(group.data(), TRUE, size, size, LR_DEFAULTCOLOR);
        std::vector<unsigned char> image = resource(MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3));
        ASSERT_GE(image.size(), 8u) << "no image chosen for " << size;
        EXPECT_EQ(readLong(image, 4), size);
    }
    HANDLE small = LoadImageA(module, "MAINICON", IMAGE_ICON, 16, 16, 0);
    EXPECT_NE(small, nullptr);
    DestroyIcon(static_cast<HICON>(small));
}

TEST_P(ResourcesTest, TrayMenuHasTheJapaneseItemsWithTheirIds) {
    // The expected texts are Shift-JIS bytes, so the ANSI code page must be 932.
    ASSERT_EQ(GetACP(), 932u) << "run under LANG=ja_JP.UTF-8";

    HMENU menu = LoadMenuA(module, "THEMENU");
    ASSERT_NE(menu, nullptr);
    char text[64];
    EXPECT_EQ(GetMenuItemCount(menu), 1);
    EXPECT_EQ(GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION), 5);
    EXPECT_STREQ(text, "dummy");
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);

    struct Item {
        UINT id;
        const char *shiftJis;  // 0 for the separator
        const wchar_t *unicode;
    };
    const Item expected[] = {
        {ID_MENU_SETTINGS, "\x90\xDD\x92\xE8", L"\u8A2D\u5B9A"},  // 設定
        {ID_MENU_PAUSE,  // 素数判定を一時停止
         "\x91\x66\x90\x94\x94\xBB\x92\xE8\x82\xF0\x88\xEA\x8E\x9E\x92\xE2\x8E\x7E",
         L"\u7D20\u6570\u5224\u5B9A\u3092\u4E00\u6642\u505C\u6B62"},
        {0, nullptr, nullptr},
        {ID_MENU_EXIT, "\x8F\x49\x97\xB9", L"\u7D42\u4E86"},  // 終了
    };
    ASSERT_EQ(GetMenuItemCount(popup), 4);
    EXPECT_EQ(ID_MENU_SETTINGS, 10000);
    EXPECT_EQ(ID_MENU_PAUSE, 10001);
    EXPECT_EQ(ID_MENU_EXIT, 10002);

    for (UINT position = 0; position < 4; ++position) {
        const Item &item = expected[position];
        SCOPED_TRACE("item " + std::to_string(position));
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU;
        ASSERT_TRUE(GetMenuItemInfoA(popup, position, TRUE, &info));
        EXPECT_EQ(info.wID, item.id);
        EXPECT_EQ(info.hSubMenu, nullptr);
        if (item.shiftJis == nullptr) {
            EXPECT_EQ(info.fType, static_cast<UINT>(MFT_SEPARATOR));
            continue;
        }
        EXPECT_EQ(info.fState, static_cast<UINT>(MFS_ENABLED | MFS_UNCHECKED));
        EXPECT_EQ(info.fType, static_cast<UINT>(MFT_STRING));
        EXPECT_EQ(GetMenuStringA(popup, position, text, sizeof text, MF_BYPOSITION),
                  static_cast<int>(std::strlen(item.shiftJis)));
        EXPECT_STREQ(text, item.shiftJis);
        wchar_t wide[64];
        GetMenuStringW(popup, position, wide, 64, MF_BYPOSITION);
        EXPECT_EQ(std::wstring(wide), std::wstring(item.unicode));
    }
    // The pause toggle finds its item by command id.
    EXPECT_EQ(GetMenuState(popup, ID_MENU_PAUSE, MF_BYCOMMAND), static_cast<UINT>(MF_UNCHECKED));
    DestroyMenu(menu);
}

TEST_P(ResourcesTest, ManifestNamesTheProgramItsArchitectureAndCommonControls6) {
    std::vector<unsigned char> bytes = resource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    ASSERT_FALSE(bytes.empty()) << "no manifest with id 1, the one the loader reads";
    const std::string xml(bytes.begin(), bytes.end());

    const size_t dependency = xml.find("<dependentAssembly>");
    ASSERT_NE(dependency, std::string::npos);
    const std::string program = assemblyIdentityTag(xml, 0);
    ASSERT_LT(xml.find("<assemblyIdentity"), dependency) << "the program's own identity comes first";
    EXPECT_EQ(attribute(program, "type"), "win32");
    EXPECT_EQ(attribute(program, "name"), "tramolivenga.exe");
    EXPECT_EQ(attribute(program, "version"), "1.0.0.0");
    EXPECT_EQ(attribute(program, "processorArchitecture"), GetParam().architecture);

    // Without the exact public key token the visual styles are not bound.
    const std::string controls = assemblyIdentityTag(xml, dependency);
    EXPECT_EQ(attribute(controls, "type"), "win32");
    EXPECT_EQ(attribute(controls, "name"), "Microsoft.Windows.Common-Controls");
    EXPECT_EQ(attribute(controls, "version"), "6.0.0.0");
    EXPECT_EQ(attribute(controls, "publicKeyToken"), "6595b64144ccf1df");

    // A manifest the loader cannot parse or resolve stops the program from starting.
    ACTCTXA request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = path.c_str();
    request.lpResourceName = MAKEINTRESOURCEA(1);
    HANDLE context = CreateActCtxA(&request);
    EXPECT_NE(context, INVALID_HANDLE_VALUE) << "error " << GetLastError();
    if (context != INVALID_HANDLE_VALUE) {
        ReleaseActCtx(context);
    }
}

TEST_P(ResourcesTest, VersionBlockIs1_0_0_0ForFileAndProduct) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version block";
    std::vector<unsigned char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void **>(&fixed), &length));
    ASSERT_GE(length, sizeof *fixed);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    // The texts shown in the file's properties must agree with the numbers.
    for (const char *name : {"FileVersion", "ProductVersion"}) {
        const std::string query = std::string("\\StringFileInfo\\041103A4\\") + name;
        char *value = nullptr;
        ASSERT_TRUE(VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void **>(&value), &length))
            << query;
        EXPECT_STREQ(value, "1.0.0.0") << name;
    }
}

INSTANTIATE_TEST_SUITE_P(BuiltPrograms, ResourcesTest, testing::ValuesIn(PROGRAMS),
                         [](const testing::TestParamInfo<BuiltProgram> &info) { return info.param.label; });

}  // namespace
