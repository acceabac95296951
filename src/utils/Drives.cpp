// Drive classification: what kind of drive a path is on, and whether it
// counts as external (removable, or a fixed disk on USB or IEEE 1394 or with
// removable media).
#include "utils/InstUtils.h"

#include "platform/Handles.h"

#include <windows.h>
#include <winioctl.h>

#include <cstring>

namespace {

// Published layout of the storage query and its answer.
static_assert(IOCTL_STORAGE_QUERY_PROPERTY == 0x2D1400, "storage query control code");
static_assert(sizeof(STORAGE_PROPERTY_QUERY) == 12, "storage query size");
constexpr size_t DescriptorBufferSize = 548;  // 36 fixed bytes and 512 of raw properties
constexpr size_t RemovableMediaOffset = 10;
constexpr size_t BusTypeOffset = 28;
static_assert(BusType1394 == 4 && BusTypeUsb == 7, "bus types of the descriptor");

}  // namespace

std::string DrivePart(const std::string& path)
{
    if (path.size() >= 2 && path[1] == ':')
        return path.substr(0, 2);
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        const size_t serverEnd = path.find('\\', 2);
        if (serverEnd == std::string::npos)
            return path;
        // Up to, not including, the backslash after the share name.
        return path.substr(0, path.find('\\', serverEnd + 1));
    }
    return std::string();
}

unsigned GetDriveKind(const std::string& path)
{
    std::string root = DrivePart(path);
    AddBackslash(root);
    return GetDriveTypeA(root.c_str());
}

bool IsExternalDescriptor(const uint8_t* descriptor, size_t size)
{
    // Bytes the driver did not return read as zero, as in the zeroed buffer.
    uint8_t fixed[BusTypeOffset + 4] = {};
    if (size != 0)
        std::memcpy(fixed, descriptor, size < sizeof fixed ? size : sizeof fixed);
    uint32_t busType;
    std::memcpy(&busType, fixed + BusTypeOffset, sizeof busType);
    return busType == BusType1394 || busType == BusTypeUsb || fixed[RemovableMediaOffset] != 0;
}

bool IsExternalDrive(const std::string& path)
{
    const unsigned kind = GetDriveKind(path);
    if (kind == DRIVE_REMOVABLE)
        return true;
    if (kind != DRIVE_FIXED)
        return false;

    TFileHandle volume(CreateFileW(ToWidePath("\\\\.\\" + DrivePart(path)).c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!volume)
        return false;

    STORAGE_PROPERTY_QUERY query;
    std::memset(&query, 0, sizeof query);
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    uint8_t descriptor[DescriptorBufferSize] = {};
    DWORD returned = 0;
    if (!DeviceIoControl(volume.Get(), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, descriptor,
                         sizeof descriptor, &returned, nullptr))
        return false;
    // The count returned is not looked at: unfilled fields stay zero.
    return IsExternalDescriptor(descriptor, sizeof descriptor);
}
