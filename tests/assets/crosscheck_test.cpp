// Independent readers agree with ours on the generated data set: ImageMagick
// decodes every SGI and PPM file to the same pixels, and assimp finds the
// models' named objects with the same face counts. Models assimp writes
// load whole, with the objects assimp itself reads back.
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
#include "inspect.h"
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

struct MeshCounts {
    int vertices = 0;
    int faces = 0;
};

// Node name -> total vertices and faces of its meshes, from `assimp info`.
std::map<std::string, MeshCounts> assimpObjects(const std::string& path, std::string& report) {
    int status = 0;
    const Bytes text = output("assimp info '" + path + "' 2>&1", status);
    report.assign(text.begin(), text.end());
    std::map<std::string, MeshCounts> objects;
    if (status != 0) return objects;
    std::istringstream lines(report);
    std::string line;
    std::vector<MeshCounts> meshes;
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
            MeshCounts mesh;
            int bones = 0;
            if (std::sscanf(line.c_str() + open, "[%d / %d / %d", &mesh.vertices, &bones, &mesh.faces) == 3) {
                meshes.push_back(mesh);
            }
        }
        if (inNodes) {
            // "├╴name (mesh 0,1)": skip the tree drawing (spaces and UTF-8).
            std::size_t start = 0;
            while (start < line.size() && (line[start] == ' ' || (line[start] & 0x80))) ++start;
            const std::size_t at = line.find(" (mesh ");
            if (at == std::string::npos || at < start) continue;
            MeshCounts total;
            std::istringstream indices(line.substr(at + 7));
            int index;
            char separator;
            while (indices >> index) {
                if (index >= 0 && index < static_cast<int>(meshes.size())) {
                    total.vertices += meshes[index].vertices;
                    total.faces += meshes[index].faces;
                }
                indices >> separator;
            }
            MeshCounts& counts = objects[line.substr(start, at - start)];
            counts.vertices += total.vertices;
            counts.faces += total.faces;
        }
    }
    return objects;
}

// Object name -> vertex and face counts from the inspector's object lines
// ("  object INDEX "NAME" VERTICES FACES ...").
std::map<std::string, MeshCounts> inspectorObjects(const std::string& path, std::string& out) {
    std::string argument = path;
    char* argv[] = {argument.data()};
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const int status = runInspect(1, argv);
    ::testing::internal::GetCapturedStderr();
    out = ::testing::internal::GetCapturedStdout();
    std::map<std::string, MeshCounts> objects;
    if (status != 0) return objects;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        char name[256];
        int index = 0;
        MeshCounts counts;
        if (std::sscanf(line.c_str(), "  object %d \"%255[^\"]\" %d %d", &index, name, &counts.vertices,
                        &counts.faces) == 4) {
            objects[name] = counts;
        }
    }
    return objects;
}

const MeshObject* objectNamed(const ModelData& model, const std::string& prefix) {
    for (const MeshObject& object : model.objects) {
        if (std::string(object.name).rfind(prefix, 0) == 0) return &object;
    }
    return nullptr;
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
        const std::map<std::string, MeshCounts> objects = assimpObjects(path, report);
        ASSERT_FALSE(objects.empty()) << path << ": assimp said\n" << report;
        EXPECT_EQ(objects.size(), model.objects.size()) << path;
        for (const MeshObject& object : model.objects) {
            const auto found = objects.find(object.name);
            if (found == objects.end()) {
                ADD_FAILURE() << path << ": assimp has no object \"" << object.name << "\"";
                continue;
            }
            EXPECT_EQ(found->second.faces, object.faceCount) << path << ": " << object.name;
        }
        releaseModelData(model);
    }
}

// A model written by assimp's 3DS exporter (from an OBJ file of ours) opens
// its mesh data with a material, not a mesh version, and gives its colours
// as floats. It loads whole: every object assimp reads back, by name, with
// assimp's vertex and face counts, the inspector showing the same; colours
// and the texture come through. Each object is flat, so assimp, which
// splits vertices where normals differ, keeps the vertices written.
TEST(CrossCheck, ModelsAssimpWritesLoadWhole) {
    if (!haveTool("assimp")) GTEST_SKIP() << "assimp-utils is not installed";
    TempDir dir;
    const std::string obj =
        "mtllib parts.mtl\n"
        "o hull\n"  // a 3 x 3 grid in the XY plane, textured
        "v 0 0 0\nv 1 0 0\nv 2 0 0\nv 0 1 0\nv 1 1 0\nv 2 1 0\nv 0 2 0\nv 1 2 0\nv 2 2 0\n"
        "vt 0 0\nvt 0.5 0\nvt 1 0\nvt 0 0.5\nvt 0.5 0.5\nvt 1 0.5\nvt 0 1\nvt 0.5 1\nvt 1 1\n"
        "usemtl skin\n"
        "f 1/1 2/2 5/5\nf 1/1 5/5 4/4\nf 2/2 3/3 6/6\nf 2/2 6/6 5/5\n"
        "f 4/4 5/5 8/8\nf 4/4 8/8 7/7\nf 5/5 6/6 9/9\nf 5/5 9/9 8/8\n"
        "o rotor\n"  // a square in the plane y = 3
        "v 0 3 0\nv 0 3 2\nv 2 3 2\nv 2 3 0\n"
        "usemtl paint\n"
        "f 10 11 12\nf 10 12 13\n"
        "o tail\n"  // one triangle in the plane x = 4
        "v 4 0 0\nv 4 1 0\nv 4 0 1\n"
        "usemtl paint\n"
        "f 14 15 16\n";
    const std::string mtl =
        "newmtl skin\nKd 0.2 0.4 0.6\nmap_Kd hull.rgb\n"
        "newmtl paint\nKd 1 0.5 0.25\n";
    writeFile(dir.path("parts.obj"), Bytes(obj.begin(), obj.end()));
    writeFile(dir.path("parts.mtl"), Bytes(mtl.begin(), mtl.end()));
    const std::string path = dir.path("parts.3ds");
    int status = 0;
    const Bytes exportLog =
        output("assimp export '" + dir.path("parts.obj") + "' '" + path + "' 2>&1", status);
    ASSERT_EQ(status, 0) << std::string(exportLog.begin(), exportLog.end());

    ModelData model;
    ModelFileReader reader;
    reader.log = nullptr;
    ASSERT_EQ(reader.readFile(model, path.c_str()), ModelReadStatus::ok) << reader.error();
    std::string report;
    const std::map<std::string, MeshCounts> theirs = assimpObjects(path, report);
    ASSERT_EQ(theirs.size(), 3u) << "assimp said\n" << report;
    std::string inspected;
    const std::map<std::string, MeshCounts> shown = inspectorObjects(path, inspected);
    EXPECT_EQ(shown.size(), 3u) << inspected;
    ASSERT_EQ(model.objects.size(), 3u);
    for (const MeshObject& object : model.objects) {
        const auto found = theirs.find(object.name);
        if (found == theirs.end()) {
            ADD_FAILURE() << "assimp has no object \"" << object.name << "\"\n" << report;
            continue;
        }
        EXPECT_EQ(object.vertexCount, found->second.vertices) << object.name;
        EXPECT_EQ(object.faceCount, found->second.faces) << object.name;
        const auto line = shown.find(object.name);
        if (line == shown.end()) {
            ADD_FAILURE() << "the inspector shows no object \"" << object.name << "\"\n" << inspected;
            continue;
        }
        EXPECT_EQ(line->second.vertices, found->second.vertices) << object.name;
        EXPECT_EQ(line->second.faces, found->second.faces) << object.name;
    }

    const MeshObject* hull = objectNamed(model, "hull");
    const MeshObject* rotor = objectNamed(model, "rotor");
    ASSERT_TRUE(hull && rotor);
    EXPECT_EQ(hull->vertexCount, 9);
    EXPECT_EQ(hull->texCoordCount, 9);
    EXPECT_TRUE(hull->hasTexture);
    const MaterialInfo& skin = model.materials[hull->materialIndex];
    EXPECT_STREQ(skin.textureFile, "hull.rgb");
    EXPECT_EQ(skin.colour[0], 51);
    EXPECT_EQ(skin.colour[1], 102);
    EXPECT_EQ(skin.colour[2], 153);
    const MaterialInfo& paint = model.materials[rotor->materialIndex];
    EXPECT_EQ(paint.colour[0], 255);
    EXPECT_EQ(paint.colour[1], 128);
    EXPECT_EQ(paint.colour[2], 64);
    EXPECT_FALSE(rotor->hasTexture);
    releaseModelData(model);
}
