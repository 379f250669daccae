// car_mesh_test.cpp -- the compiled-in car tables and their display lists.
#include <GL/gl.h>

#include <cmath>
#include <vector>

#include "app/globals.h"
#include "city/city.h"
#include "support/gl_context.h"
#include "traffic/car_mesh_data.h"
#include "traffic/car_meshes.h"
#include "traffic/police_dispatch.h"
#include "traffic/vehicle.h"

namespace {

struct NamedTables {
    const char* name;
    const CarMeshTables* tables;
};
const NamedTables allCars[] = {{"fugitive", &fugitiveCarTables}, {"traffic 1", &trafficCar1Tables},
                               {"traffic 2", &trafficCar2Tables}, {"traffic 3", &trafficCar3Tables},
                               {"traffic 4", &trafficCar4Tables}, {"traffic 5", &trafficCar5Tables},
                               {"police", &policeCarTables}};

void expectRow(const CarMaterial& m, const float ambient[3], const float specular[3], const float emission[3]) {
    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(m.ambient[i], ambient[i]);
        EXPECT_FLOAT_EQ(m.specular[i], specular[i]);
        EXPECT_FLOAT_EQ(m.emission[i], emission[i]);
    }
}

// Mean y of the faces drawn with one material.
float meanY(const CarMeshTables& t, int material) {
    double sum = 0;
    int n = 0, face = 0;
    for (int g = 0; g < t.groupCount; ++g) {
        for (int k = 0; k < t.groups[g][1]; ++k, ++face) {
            if (t.groups[g][0] != material) continue;
            for (int c = 0; c < 3; ++c) sum += t.vertices[t.faces[face][c]][1];
            n += 3;
        }
    }
    return n ? static_cast<float>(sum / n) : NAN;
}

}  // namespace

// Every table is self-consistent: groups cover the faces, indices stay inside their tables, fixed material words.
TEST(CarTables, IndicesGroupsAndMaterialsAreConsistent) {
    for (const NamedTables& car : allCars) {
        SCOPED_TRACE(car.name);
        const CarMeshTables& t = *car.tables;
        EXPECT_EQ(t.materialCount, car.tables == &policeCarTables ? 11 : 10);
        int covered = 0;
        for (int g = 0; g < t.groupCount; ++g) {
            EXPECT_GE(t.groups[g][0], 0);
            EXPECT_LT(t.groups[g][0], t.materialCount);
            EXPECT_GT(t.groups[g][1], 0);
            covered += t.groups[g][1];
        }
        EXPECT_EQ(covered, t.faceCount);
        ASSERT_EQ(t.texCoordCount, 1);
        EXPECT_EQ(t.texCoords[0][0], 0);
        EXPECT_EQ(t.texCoords[0][1], 0);
        for (int f = 0; f < t.faceCount; ++f) {
            for (int c = 0; c < 3; ++c) {
                ASSERT_GE(t.faces[f][c], 0);
                ASSERT_LT(t.faces[f][c], t.vertexCount);
                ASSERT_GE(t.faces[f][3 + c], 0);
                ASSERT_LT(t.faces[f][3 + c], t.normalCount);
                ASSERT_EQ(t.faces[f][6 + c], 0);
            }
        }
        for (int m = 0; m < t.materialCount; ++m) {
            EXPECT_EQ(t.materials[m].alpha, 1.0f);
            EXPECT_EQ(t.materials[m].shininess, 8.0f);
            EXPECT_EQ(t.materials[m].texture, -1);
        }
    }
}

// One unit long along y, centred, narrower than a lane, unit normals, every face wound counter-clockwise from outside.
TEST(CarTables, ShapeScaleAndWinding) {
    for (const NamedTables& car : allCars) {
        SCOPED_TRACE(car.name);
        const CarMeshTables& t = *car.tables;
        float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
        for (int v = 0; v < t.vertexCount; ++v) {
            for (int a = 0; a < 3; ++a) {
                lo[a] = std::fmin(lo[a], t.vertices[v][a]);
                hi[a] = std::fmax(hi[a], t.vertices[v][a]);
            }
        }
        EXPECT_NEAR(hi[1] - lo[1], 1.0f, 1e-4);
        for (int a = 0; a < 3; ++a) EXPECT_NEAR(lo[a] + hi[a], 0, 1e-4);
        EXPECT_GT(hi[0], 0.15f);
        EXPECT_LT(hi[0], 0.26f);
        EXPECT_GT(hi[2], 0.1f);
        EXPECT_LT(hi[2], 0.3f);
        for (int n = 0; n < t.normalCount; ++n) {
            const float* v = t.normals[n];
            EXPECT_NEAR(v[0] * v[0] + v[1] * v[1] + v[2] * v[2], 1.0f, 1e-4);
        }
        for (int f = 0; f < t.faceCount; ++f) {
            const float* a = t.vertices[t.faces[f][0]];
            const float* b = t.vertices[t.faces[f][1]];
            const float* c = t.vertices[t.faces[f][2]];
            const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
            const float w[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
            const float n[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
            for (int k = 0; k < 3; ++k) {
                const float* m = t.normals[t.faces[f][3 + k]];
                ASSERT_GT(n[0] * m[0] + n[1] * m[1] + n[2] * m[2], 0) << "face " << f;
            }
        }
    }
}

// The telling material rows, and the lamps where they belong: white at the front (-y), red at the rear.
TEST(CarTables, TellingMaterialRowsAndLampPlaces) {
    const float zero[3] = {0, 0, 0}, one[3] = {1, 1, 1};
    {
        const float specular[3] = {0.839f, 0, 0}, emission[3] = {0.247f, 0, 0};
        expectRow(fugitiveCarTables.materials[0], zero, specular, emission);
        const float rearSpec[3] = {1, 0, 0}, rearEmis[3] = {0.498f, 0, 0};
        expectRow(fugitiveCarTables.materials[4], zero, rearSpec, rearEmis);
        EXPECT_GT(meanY(fugitiveCarTables, 4), 0.4f);
    }
    {
        const float white[3] = {1, 1, 1}, blue[3] = {0, 0, 0.863f}, red[3] = {0.784f, 0, 0};
        expectRow(policeCarTables.materials[1], zero, zero, white);
        expectRow(policeCarTables.materials[2], zero, zero, blue);
        expectRow(policeCarTables.materials[6], zero, zero, red);
        EXPECT_LT(meanY(policeCarTables, 1), -0.2f);
        EXPECT_GT(meanY(policeCarTables, 6), 0.4f);
        EXPECT_NEAR(meanY(policeCarTables, 2), 0, 0.1f);  // on the roof
    }
    {
        const float emis[3] = {0.667f, 0.667f, 0.667f};
        expectRow(trafficCar3Tables.materials[4], one, one, emis);
        EXPECT_LT(meanY(trafficCar3Tables, 4), -0.4f);
    }
}

namespace {
class CarMeshGLTest : public GLTest {
protected:
    // Runs draw in feedback mode (3D position and colour) and returns the buffer.
    template <class Draw>
    std::vector<GLfloat> feedback(Draw draw) {
        std::vector<GLfloat> buffer(400000);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
        glRenderMode(GL_FEEDBACK);
        draw();
        const GLint n = glRenderMode(GL_RENDER);
        buffer.resize(n > 0 ? static_cast<size_t>(n) : 0);
        return buffer;
    }
};

// Three groups, lit by emission only, so each triangle's colour names its material.
const float quadVerts[][3] = {{-0.4f, -0.4f, 0}, {0.4f, -0.4f, 0}, {0.4f, 0.4f, 0}, {-0.4f, 0.4f, 0}};
const float quadNormals[][3] = {{0, 0, 1}};
const float quadUV[][2] = {{0, 0}};
const std::int16_t quadFaces[][9] = {{0, 1, 2, 0, 0, 0, 0, 0, 0}, {0, 2, 3, 0, 0, 0, 0, 0, 0},
                                     {0, 1, 3, 0, 0, 0, 0, 0, 0}, {1, 2, 3, 0, 0, 0, 0, 0, 0},
                                     {0, 1, 2, 0, 0, 0, 0, 0, 0}, {0, 2, 3, 0, 0, 0, 0, 0, 0}};
const std::int32_t quadGroups[][2] = {{2, 1}, {0, 3}, {1, 2}};
const CarMaterial quadMaterials[] = {{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {1, 0, 0}, 1, 8, -1},
                                     {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 1, 0}, 1, 8, -1},
                                     {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 1}, 1, 8, -1}};
const CarMeshTables quadTables = {quadVerts, 4, quadNormals, 1, quadUV, 1, quadFaces, 6, quadGroups, 3, quadMaterials, 3};
}  // namespace

// The builder switches material exactly before faces 0, n1 and n1 + n2, and the last group runs to the last face.
TEST_F(CarMeshGLTest, MaterialSwitchesAtGroupBoundaries) {
    const GLuint list = compileCarMesh(quadTables);
    ASSERT_NE(list, 0u);
    glDisable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
    const std::vector<GLfloat> fb = feedback([&] { glCallList(list); });
    glDisable(GL_LIGHTING);
    const int expectedMaterial[6] = {2, 0, 0, 0, 1, 1};
    size_t i = 0;
    int face = 0;
    while (i < fb.size()) {
        ASSERT_EQ(fb[i], static_cast<GLfloat>(GL_POLYGON_TOKEN));
        ASSERT_EQ(fb[i + 1], 3);
        const float* colour = &fb[i + 2 + 3];  // the first corner's r, g, b
        ASSERT_LT(face, 6);
        const int m = expectedMaterial[face];
        EXPECT_NEAR(colour[0], m == 0 ? 1 : 0, 1e-3) << "face " << face;
        EXPECT_NEAR(colour[1], m == 1 ? 1 : 0, 1e-3) << "face " << face;
        EXPECT_NEAR(colour[2], m == 2 ? 1 : 0, 1e-3) << "face " << face;
        i += 2 + 3 * 7;
        ++face;
    }
    EXPECT_EQ(face, 6);
    glDeleteLists(list, 1);
}

// Police cars share the police model's list; it draws what a fresh police list draws.
TEST_F(CarMeshGLTest, EveryPoliceCarDrawsThePoliceModel) {
    forgetPoliceCarMesh();
    policeCars.clear();
    createPoliceCar();
    createPoliceCar();
    ASSERT_EQ(policeCars.size(), 2u);
    EXPECT_EQ(policeCars[0]->displayList, policeCarMesh());
    EXPECT_EQ(policeCars[1]->displayList, policeCarMesh());
    EXPECT_TRUE(glIsList(policeCars[0]->displayList));
    EXPECT_EQ(policeCars[0]->heading, 90);
    EXPECT_EQ(policeCars[0]->smokeCount, 60);
    glOrtho(-1, 1, -1, 1, -1, 1);
    glDisable(GL_CULL_FACE);
    const GLuint fresh = buildPoliceCarMesh();
    const std::vector<GLfloat> shared = feedback([&] { glCallList(policeCars[1]->displayList); });
    const std::vector<GLfloat> own = feedback([&] { glCallList(fresh); });
    EXPECT_EQ(shared.size(), static_cast<size_t>(2 + 3 * 7) * policeCarTables.faceCount);
    EXPECT_EQ(shared, own);
    glDeleteLists(fresh, 1);
    for (PoliceCar* car : policeCars) delete car;
    policeCars.clear();
    city.vehicles.clear();
}

// While the map is being captured a car draws nothing, smoke included; afterwards texturing is back on.
TEST_F(CarMeshGLTest, DrawsNothingDuringTheMapCapture) {
    Vehicle car;
    car.place(buildTrafficCarMesh2(), 0, 0, 0, 45, 0);
    glOrtho(-2, 2, -2, 2, -2, 2);
    glDisable(GL_CULL_FACE);
    mapCapturePending = true;
    EXPECT_TRUE(feedback([&] { car.draw(true); }).empty());
    EXPECT_TRUE(feedback([&] { car.draw(false); }).empty());
    mapCapturePending = false;
    const std::vector<GLfloat> drawn = feedback([&] { car.draw(false); });
    // The mesh's triangles and 30 smoke quads (fed back whole or as two triangles each).
    const size_t mesh = static_cast<size_t>(2 + 3 * 7) * trafficCar2Tables.faceCount;
    ASSERT_GT(drawn.size(), mesh);
    const size_t smoke = drawn.size() - mesh;
    EXPECT_TRUE(smoke == 30u * (2 + 4 * 7) || smoke == 30u * 2 * (2 + 3 * 7)) << smoke;
    glDisable(GL_TEXTURE_2D);
    car.draw(true);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    // The untextured smoke leaves depth writes on and blending off.
    car.draw(false);
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    glDisable(GL_TEXTURE_2D);
    glDeleteLists(car.displayList, 1);
}
