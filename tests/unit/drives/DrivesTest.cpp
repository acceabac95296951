// Drive classification. The drives come from drives-fixture.sh: E: and M:
// removable (E:\Apps\orvex.exe exists), N: CD-ROM, O: network, P: RAM disk,
// Q: no drive at all; C: is the prefix's fixed disk.
#include "utils/InstUtils.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <vector>

namespace {

TEST(DrivePart, RootOfEveryPathForm)
{
    struct TRow {
        const char* Path;
        const char* Expected;
    } rows[] = {
        {"E:\\Apps\\orvex.exe", "E:"},
        {"E:\\", "E:"},
        {"E:", "E:"},
        {"e:relative", "e:"},
        {"\\\\server\\share\\dir\\file", "\\\\server\\share"},
        {"\\\\server\\share\\", "\\\\server\\share"},
        {"\\\\server\\share", "\\\\server\\share"},
        {"\\\\server", "\\\\server"},
        {"\\\\", "\\\\"},
        {"Tools\\Scrivora", ""},
        {"\\Apps", ""},
        {"E", ""},
        {"", ""},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Path);
        EXPECT_EQ(DrivePart(row.Path), row.Expected);
    }
}

// A zeroed descriptor of the queried size with the two fields the decision reads.
std::vector<uint8_t> Descriptor(uint32_t busType, uint8_t removableMedia)
{
    std::vector<uint8_t> d(548, 0);
    d[10] = removableMedia;
    std::memcpy(&d[28], &busType, 4);
    return d;
}

TEST(IsExternalDescriptor, BusTypeAndRemovableMedia)
{
    struct TRow {
        const char* Name;
        std::vector<uint8_t> Bytes;
        bool Expected;
    } rows[] = {
        {"USB", Descriptor(7, 0), true},
        {"IEEE 1394", Descriptor(4, 0), true},
        {"SATA", Descriptor(11, 0), false},
        {"SATA with removable media", Descriptor(11, 1), true},
        {"SCSI with removable media flag 0x80", Descriptor(1, 0x80), true},
        {"NVMe", Descriptor(17, 0), false},
        {"bus type compared as 32 bits", Descriptor(0x107, 0), false},
        {"zeroed buffer of a failed query", Descriptor(0, 0), false},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(IsExternalDescriptor(row.Bytes.data(), row.Bytes.size()), row.Expected);
    }
}

TEST(IsExternalDescriptor, BytesNotReturnedReadAsZero)
{
    const std::vector<uint8_t> usb = Descriptor(7, 1);
    EXPECT_FALSE(IsExternalDescriptor(usb.data(), 10)) << "removable media byte not returned";
    EXPECT_TRUE(IsExternalDescriptor(usb.data(), 11)) << "removable media byte returned";
    EXPECT_FALSE(IsExternalDescriptor(Descriptor(7, 0).data(), 28)) << "bus type not returned";
    EXPECT_FALSE(IsExternalDescriptor(nullptr, 0));
}

TEST(DriveKind, DrivesOfEveryKind)
{
    struct TRow {
        const char* Path;
        unsigned Kind;
        bool External;
    } rows[] = {
        {"M:\\", DRIVE_REMOVABLE, true},
        {"m:\\notes.txt", DRIVE_REMOVABLE, true},
        {"N:\\", DRIVE_CDROM, false},
        {"O:\\Shared\\Scrivora", DRIVE_REMOTE, false},
        {"P:\\", DRIVE_RAMDISK, false},
        {"Q:\\Apps", DRIVE_NO_ROOT_DIR, false},
        {"C:\\windows", DRIVE_FIXED, false},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Path);
        EXPECT_EQ(GetDriveKind(row.Path), row.Kind);
        EXPECT_EQ(IsExternalDrive(row.Path), row.External);
    }
}

TEST(DriveKind, NetworkPathIsNotExternal)
{
    const std::string path = "\\\\server\\share\\dir";
    const unsigned kind = GetDriveKind(path);
    EXPECT_NE(kind, static_cast<unsigned>(DRIVE_REMOVABLE));
    EXPECT_NE(kind, static_cast<unsigned>(DRIVE_FIXED));
    EXPECT_FALSE(IsExternalDrive(path));
}

TEST(DriveKind, FileFolderAndBareDriveAlike)
{
    for (const char* path : {"E:\\Apps\\orvex.exe", "E:\\Apps\\", "E:"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(GetDriveKind(path), static_cast<unsigned>(DRIVE_REMOVABLE));
        EXPECT_TRUE(IsExternalDrive(path));
    }
}

}  // namespace
