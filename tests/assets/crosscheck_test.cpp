// Independent readers agree with ours on the generated data set: ImageMagick
// decodes every SGI and PPM file to the same pixels, and assimp finds the
// models' named objects with the same face counts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

#include "assets/model_file_reader.h"
#include "assets/ppm_image.h"
#include "assets/sgi_image.h"
#include "support/asset_writers.h"

namespace {

const std::string dataDir = SEARCHLIGHT_DATA_DIR;

bool haveTool(const std::string& name) {
    return std::system(("command -v " + name + " > /dev/null 2>&1").c_str()) == 0;
}

// Standard output of a shell command; status gets its exit status.
Bytes output(const std::string& command, int& status) {
    Bytes bytes;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        status = -1;
        return bytes;
    }
    unsigned char block[65536];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, pipe)) > 0)
        bytes.insert(bytes.end(), block, block + got);
    status = pclose(pipe);
    return bytes;
}

std::vector<std::string> dataFiles(const std::vector<std::string>& extensions) {
    std::vector<std::string> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dataDir, error)) {
        const std::string extension = entry.path().extension().string();
        if (std::find(extensions.begin(), extensions.end(), extension) != extensions.end()) {
            files.push_back(entry.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Where two pictures first differ, for the failure message.
std::string firstDifference(const Bytes& ours, const Bytes& theirs) {
    if (ours.size() != theirs.size()) {
        return "sizes " + std::to_string(ours.size()) + " and " + std::to_string(theirs.size());
    }
    const auto at = std::mismatch(ours.begin(), ours.end(), theirs.begin());
    if (at.first == ours.end()) return "";
    return "byte " + std::to_string(at.first - ours.begin()) + ": ours " + std::to_string(*at.first) +
           ", ImageMagick's " + std::to_string(*at.second);
}

// Node name -> total faces of its meshes, from `assimp info`.
std::map<std::string, int> assimpObjectFaces(const std::string& path, std::string& report) {
    int status = 0;
    const Bytes text = output("assimp info '" + path + "' 2>&1", status);
    report.assign(text.begin(), text.end());
    std::map<std::string, int> faces;
    if (status != 0) return faces;
    std::istringstream lines(report);
    std::string line;
    std::vector<int> meshFaces;
    bool inMeshes = false, inNodes = false;
    while (std::getline(lines, line)) {
        if (line.rfind("Meshes:  (name)", 0) == 0) {
            inMeshes = true;
            continue;
        }
        if (line.rfind("Node hierarchy:", 0) == 0) {
            inNodes = true;
            continue;
        }
        if (inMeshes) {
            // "    0 (name): [vertices / bones / faces | types]"
            const std::size_t open = line.find('[');
            if (open == std::string::npos) {
                inMeshes = false;
                continue;
            }
            int vertices = 0, bones = 0, count = 0;
            if (std::sscanf(line.c_str() + open, "[%d / %d / %d", &vertices, &bones, &count) == 3) {
                meshFaces.push_back(count);
            }
        }
        if (inNodes) {
            // "├╴name (mesh 0,1)": skip the tree drawing (spaces and UTF-8).
            std::size_t start = 0;
            while (start < line.size() && (line[start] == ' ' || (line[start] & 0x80))) ++start;
            const std::size_t meshes = line.find(" (mesh ");
            if (meshes == std::string::npos || meshes < start) continue;
            int total = 0;
            std::istringstream indices(line.substr(meshes + 7));
            int index;
            char separator;
            while (indices >> index) {
                if (index >= 0 && index < static_cast<int>(meshFaces.size())) total += meshFaces[index];
                indices >> separator;
            }
            faces[line.substr(start, meshes - start)] += total;
        }
    }
    return faces;
}

}  // namespace

// Every generated SGI image decodes in ImageMagick to our RGBA bytes (our
// row 0 is the picture's bottom row, so ImageMagick's rows are flipped).
TEST(CrossCheck, ImageMagickAgreesOnEverySgiImage) {
    if (!haveTool("convert")) GTEST_SKIP() << "ImageMagick is not installed";
    const auto files = dataFiles({".rgb", ".rgba", ".bw", ".sgi"});
    EXPECT_GE(files.size(), 21u) << "the data set in " << dataDir << " is incomplete";
    for (const std::string& path : files) {
        const Bytes file = readFile(path);
        SgiImage image;
        std::string error;
        ASSERT_TRUE(parseSgiImage(image, file.data(), file.size(), error)) << path << ": " << error;
        Bytes ours(std::size_t(4) * image.xsize * image.ysize);
        ASSERT_TRUE(decodeSgiPixels(image, ours.data(), error)) << path << ": " << error;
        int status = 0;
        const Bytes theirs = output("convert '" + path + "' -flip -depth 8 rgba:-", status);
        ASSERT_EQ(status, 0) << path;
        EXPECT_EQ(firstDifference(ours, theirs), "") << path;
    }
}

// The searchlight image decodes in ImageMagick to our samples, top row first.
TEST(CrossCheck, ImageMagickAgreesOnThePpmImage) {
    if (!haveTool("convert")) GTEST_SKIP() << "ImageMagick is not installed";
    const auto files = dataFiles({".ppm"});
    ASSERT_FALSE(files.empty()) << "no PPM image in " << dataDir;
    for (const std::string& path : files) {
        const Bytes file = readFile(path);
        PpmImage image;
        std::string error;
        ASSERT_EQ(decodePpm(file.data(), file.size(), image, error), PpmStatus::ok) << path << ": " << error;
        int status = 0;
        const Bytes theirs = output("convert '" + path + "' -depth 8 rgb:-", status);
        ASSERT_EQ(status, 0) << path;
        EXPECT_EQ(firstDifference(image.samples, theirs), "") << path;
    }
}

// assimp imports both models and finds each of our objects by name with our
// face count (it may split an object's vertices or meshes, not its faces).
TEST(CrossCheck, AssimpFindsTheNamedObjects) {
    if (!haveTool("assimp")) GTEST_SKIP() << "assimp-utils is not installed";
    for (const char* name : {"copter.3ds", "policebadge.3ds"}) {
        const std::string path = dataDir + "/" + name;
        ModelData model;
        ModelFileReader reader;
        ASSERT_EQ(reader.readFile(model, path.c_str()), ModelReadStatus::ok)
            << path << ": " << reader.error();
        std::string report;
        const std::map<std::string, int> faces = assimpObjectFaces(path, report);
        ASSERT_FALSE(faces.empty()) << path << ": assimp said\n" << report;
        EXPECT_EQ(faces.size(), model.objects.size()) << path;
        for (const MeshObject& object : model.objects) {
            const auto found = faces.find(object.name);
            if (found == faces.end()) {
                ADD_FAILURE() << path << ": assimp has no object \"" << object.name << "\"";
                continue;
            }
            EXPECT_EQ(found->second, object.faceCount) << path << ": " << object.name;
        }
        releaseModelData(model);
    }
}
