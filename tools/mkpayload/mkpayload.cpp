// mkpayload: writes the setup's payload archive from a manifest, or lists one.
//   mkpayload [--level N | --zopfli [--zopfli-iterations N]] [--raw RAW] -o OUT MANIFEST
//   mkpayload --list PAYLOAD [--raw RAW]
#include "Packer.h"
#include "Zopfli.h"

#include "payload/ArchiveFormat.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

namespace {

int Fail(const std::string& message)
{
    std::fprintf(stderr, "mkpayload: %s\n", message.c_str());
    return 1;
}


const char Usage[] =
    "usage: mkpayload [--level 1-9 | --zopfli [--zopfli-iterations N]] [--raw RAW] -o OUTPUT MANIFEST\n"
    "       mkpayload --list PAYLOAD [--raw RAW]\n"
    "MANIFEST lines: name<TAB>source[<TAB>YYYY-MM-DD HH:MM:SS]; relative sources are\n"
    "taken from the manifest's folder; without a time the file's own is used.\n"
    "--zopfli compresses with Zopfli (same stream format, smaller, much slower).\n"
    "--raw also writes the uncompressed archive bytes to RAW.\n";

int Run(int argc, char** argv)
{
    std::string out, manifest, list, raw;
    int level = 9;
    bool levelGiven = false, zopfli = false;
    int iterations = Packer::DefaultZopfliIterations;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-o" && i + 1 < argc)
            out = argv[++i];
        else if (a == "--list" && i + 1 < argc)
            list = argv[++i];
        else if (a == "--level" && i + 1 < argc) {
            level = std::atoi(argv[++i]);
            if (level < 1 || level > 9)
                return Fail("--level takes 1 to 9");
            levelGiven = true;
        } else if (a == "--zopfli")
            zopfli = true;
        else if (a == "--zopfli-iterations" && i + 1 < argc) {
            iterations = std::atoi(argv[++i]);
            if (iterations < 1 || iterations > 1000)
                return Fail("--zopfli-iterations takes 1 to 1000");
            zopfli = true;
        } else if (a == "--raw" && i + 1 < argc)
            raw = argv[++i];
        else if (a == "-h" || a == "--help") {
            std::fputs(Usage, stdout);
            return 0;
        } else if (!a.empty() && a[0] != '-' && manifest.empty())
            manifest = a;
        else {
            std::fputs(Usage, stderr);
            return 2;
        }
    }

    if (levelGiven && zopfli)
        return Fail("--level and --zopfli exclude each other");

    std::string error;
    if (!list.empty()) {
        std::string compressed, listing, archive;
        if (!Packer::ReadWholeFile(list, compressed))
            return Fail("cannot read " + list);
        if (!Packer::ListPayload(compressed, listing, error))
            return Fail(list + ": " + error);
        if (!raw.empty() && (!Packer::InflatePayload(compressed, archive, error) || !Packer::WriteWhole(raw, archive, error)))
            return Fail(error);
        std::fputs(listing.c_str(), stdout);
        return 0;
    }
    if (out.empty() || manifest.empty()) {
        std::fputs(Usage, stderr);
        return 2;
    }

    std::string text;
    if (!Packer::ReadWholeFile(manifest, text))
        return Fail("cannot read manifest " + manifest);
    const size_t slash = manifest.rfind('/');
    const std::string base = slash == std::string::npos ? "." : manifest.substr(0, slash);
    std::vector<Packer::TManifestEntry> entries;
    std::string archive, compressed;
    if (!Packer::ParseManifest(text, base, entries, error) || !Packer::BuildArchive(entries, archive, error))
        return Fail(manifest + ": " + error);
    if (!raw.empty() && !Packer::WriteWhole(raw, archive, error))
        return Fail(error);
    const bool packed =
        zopfli ? Packer::CompressZopfli(archive, iterations, compressed) : Archive::Compress(archive, level, compressed);
    if (!packed)
        return Fail("compression failed");
    if (!Packer::WriteWhole(out, compressed, error))
        return Fail(error);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        return Fail("out of memory");
    }
}
