// shellart: draws the reader's own artwork and writes it as the committed resource files:
// the command-bar strip, the button guide images, the publisher's logo, the title picture
// and the icon. Run by hand (or the shellart_update target) after changing art/ or a scene;
// the resources test runs it again and checks that the committed files come out unchanged.
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>

#include "image_files.h"
#include "scenes.h"

using namespace shellart;

namespace {

void Usage() {
    std::fputs(
        "usage: shellart --art DIR --out DIR [--fonts DIR] [--preview DIR]\n"
        "  --art DIR      shellart's pixel-art sources (tools/shellart/art)\n"
        "  --out DIR      the resources folder: writes bitmaps/<id>.bmp and icon_420.ico\n"
        "  --fonts DIR    the DejaVu fonts (default /usr/share/fonts/truetype/dejavu)\n"
        "  --preview DIR  also writes an enlarged PNG of every image there\n",
        stderr);
}

}  // namespace

int main(int argc, char** argv) {
    Sources sources{"", "/usr/share/fonts/truetype/dejavu"};
    std::string outDir, previewDir;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(argv[i], "--art") && hasValue)
            sources.artDir = argv[++i];
        else if (!std::strcmp(argv[i], "--out") && hasValue)
            outDir = argv[++i];
        else if (!std::strcmp(argv[i], "--fonts") && hasValue)
            sources.fontDir = argv[++i];
        else if (!std::strcmp(argv[i], "--preview") && hasValue)
            previewDir = argv[++i];
        else {
            Usage();
            return 2;
        }
    }
    if (sources.artDir.empty() || outDir.empty()) {
        Usage();
        return 2;
    }
    try {
        std::filesystem::create_directories(outDir + "/bitmaps");
        if (!previewDir.empty()) std::filesystem::create_directories(previewDir);
        auto preview = [&](const std::string& name, const RgbImage& image, int zoom) {
            if (!previewDir.empty()) WritePng(previewDir + "/" + name + ".png", image, zoom);
        };
        auto bitmap = [&](int id) { return outDir + "/bitmaps/" + std::to_string(id) + ".bmp"; };

        const PixelArtFile cells = ReadPixelArt(sources.artDir + "/cells.txt");
        const IndexedImage strip = MakeCommandBarStrip(cells);
        WriteFile(bitmap(421), EncodeBmp(strip, 1));
        preview("421", ToRgb(strip), 8);

        for (const GuideImage& g : MakeButtonGuide(cells, sources)) {
            WriteFile(bitmap(g.id), EncodeBmp24(g.image));
            preview(std::to_string(g.id), g.image, 4);
        }

        const IndexedImage logo = MakeLogo(sources);
        WriteFile(bitmap(1100), EncodeBmp(logo, 8));
        preview("1100", ToRgb(logo), 3);

        const IndexedImage title = MakeTitlePicture();
        WriteFile(bitmap(1864), EncodeBmp(title, 8));
        preview("1864", ToRgb(title), 3);

        const std::vector<IconImage> icon = MakeIcon(ReadPixelArt(sources.artDir + "/icon.txt"));
        WriteFile(outDir + "/icon_420.ico", EncodeIco(icon));
        for (const IconImage& i : icon) preview("420-" + std::to_string(i.image.width), ToRgb(i.image), 8);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "shellart: %s\n", e.what());
        return 1;
    }
    return 0;
}
