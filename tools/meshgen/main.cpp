// searchlight-meshgen -- writes the game's car models as C++ tables.
//
// usage: searchlight-meshgen OUTPUT.cpp
// Builds the seven cars procedurally and writes, per car, the six tables of
// traffic/car_mesh_data.h and one CarMeshTables record. Fails (status 1)
// without writing if a model breaks an invariant the game relies on.
#include <cmath>
#include <cstdio>
#include <string>

#include "car_models.h"

namespace {

// Short, exact enough literals: positions and normals to six significant digits.
std::string number(double v) {
    if (std::fabs(v) < 5e-7) return "0";
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}

std::string triple(const float v[3]) { return "{" + number(v[0]) + ", " + number(v[1]) + ", " + number(v[2]) + "}"; }

void writeModel(std::FILE* out, const CarModel& car) {
    const MeshBuilder& m = car.mesh;
    const std::string& n = car.name;
    std::fprintf(out, "\n// %s: %zu vertices, %zu normals, %zu faces, %zu materials\n", n.c_str(), m.vertices.size(),
                 m.normals.size(), m.faces.size(), car.materials.size());
    std::fprintf(out, "const float %sVertices[][3] = {\n", n.c_str());
    for (const Vec& v : m.vertices) std::fprintf(out, "    {%s, %s, %s},\n", number(v.x).c_str(), number(v.y).c_str(), number(v.z).c_str());
    std::fprintf(out, "};\nconst float %sNormals[][3] = {\n", n.c_str());
    for (const Vec& v : m.normals) std::fprintf(out, "    {%s, %s, %s},\n", number(v.x).c_str(), number(v.y).c_str(), number(v.z).c_str());
    std::fprintf(out, "};\nconst float %sTexCoords[][2] = {{0, 0}};\n", n.c_str());
    std::fprintf(out, "const std::int16_t %sFaces[][9] = {\n", n.c_str());
    for (const MeshBuilder::Face& f : m.faces) {
        std::fprintf(out, "    {%d, %d, %d, %d, %d, %d, 0, 0, 0},\n", f.v[0], f.v[1], f.v[2], f.n[0], f.n[1], f.n[2]);
    }
    // Consecutive faces of one material form a group.
    std::fprintf(out, "};\nconst std::int32_t %sGroups[][2] = {\n", n.c_str());
    int groups = 0;
    for (size_t i = 0; i < m.faces.size();) {
        size_t j = i;
        while (j < m.faces.size() && m.faces[j].material == m.faces[i].material) ++j;
        std::fprintf(out, "    {%d, %zu},\n", m.faces[i].material, j - i);
        ++groups;
        i = j;
    }
    std::fprintf(out, "};\nconst CarMaterial %sMaterials[] = {\n", n.c_str());
    for (const MaterialSpec& s : car.materials) {
        std::fprintf(out, "    {%s, %s, %s, %s, 1, 8, -1},\n", triple(s.ambient).c_str(), triple(s.diffuse).c_str(),
                     triple(s.specular).c_str(), triple(s.emission).c_str());
    }
    std::fprintf(out, "};\n");
    std::fprintf(out,
                 "}  // namespace\n\nextern const CarMeshTables %sTables = {%sVertices, %zu, %sNormals, %zu, %sTexCoords, 1,\n"
                 "    %sFaces, %zu, %sGroups, %d, %sMaterials, %zu};\n\nnamespace {\n",
                 n.c_str(), n.c_str(), m.vertices.size(), n.c_str(), m.normals.size(), n.c_str(), n.c_str(),
                 m.faces.size(), n.c_str(), groups, n.c_str(), car.materials.size());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: searchlight-meshgen OUTPUT.cpp\n");
        return 2;
    }
    const std::vector<CarModel> cars = buildCarModels();
    for (const CarModel& car : cars) {
        const std::string problem = car.mesh.validate(static_cast<int>(car.materials.size()));
        if (!problem.empty()) {
            std::fprintf(stderr, "searchlight-meshgen: %s: %s\n", car.name.c_str(), problem.c_str());
            return 1;
        }
    }
    const std::string path = argv[1];
    const std::string temporary = path + ".tmp";
    std::FILE* out = std::fopen(temporary.c_str(), "w");
    if (!out) {
        std::perror(temporary.c_str());
        return 1;
    }
    std::fprintf(out,
                 "// car_mesh_tables.cpp -- written by searchlight-meshgen at build time; do not edit.\n"
                 "#include <cstdint>\n\n#include \"traffic/car_mesh_data.h\"\n\nnamespace {\n");
    for (const CarModel& car : cars) writeModel(out, car);
    std::fprintf(out, "}  // namespace\n");
    const bool written = std::fflush(out) == 0 && !std::ferror(out);
    if (std::fclose(out) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::fprintf(stderr, "searchlight-meshgen: cannot write %s\n", path.c_str());
        std::remove(temporary.c_str());
        return 1;
    }
    return 0;
}
