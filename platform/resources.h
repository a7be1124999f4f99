// The program's embedded resources: bitmaps, WAVE sounds, the menu, the command-bar
// description, strings and the icon, found by type and numeric id or name. The directories
// are generated at build time (tools/rescomp): ProgramResources from resources/, and
// BookResources from the pictures and sounds of the book that is linked in.
#pragma once

#include <cstdint>

namespace plat {

enum class ResourceType : uint8_t { Bitmap = 2, Menu = 4, String = 6, MenuBar = 10, Icon = 14, Wave = 100 };

struct ResourceEntry {
    ResourceType type;
    int32_t id;          // numeric id, or -1 for a resource found by name
    const char* name;    // upper-case name (WAVE resources), or null
    const uint8_t* data; // the file's bytes as they were committed (a BMP, a WAVE, ...)
    uint32_t size;
};

struct ResourceDirectory {
    const ResourceEntry* entries;
    int32_t count;
};

extern const ResourceDirectory ProgramResources;
extern const ResourceDirectory BookResources;

// Looks a resource up by type and id in both directories; null when there is none.
const ResourceEntry* FindResource(ResourceType type, int32_t id);
// Looks a resource up by type and name (compared exactly); null when there is none.
const ResourceEntry* FindResource(ResourceType type, const char* name);

}  // namespace plat
