// Tests of texture creation on the real offscreen context: loadTexture's
// messages and name limit, its exit status on bad images, and the PPM
// upload of the searchlight image.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "assets/model.h"
#include "assets/ppm_image.h"
#include "support/asset_writers.h"
#include "support/gl_context.h"

namespace {

class TextureLoadingTest : public GLTestInTempDir {};

GLint levelWidth(GLuint texture) {
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint width = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    return width;
}

Bytes levelPixels(GLuint texture, GLenum format, int size) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    Bytes pixels(size);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

}  // namespace

// A successful load prints both messages on one line and leaves a
// mipmapped texture with the picture at level 0 in the table.
TEST_F(TextureLoadingTest, LoadsAnSgiPictureIntoTheTable) {
    writeFile("bricks.rgb",
              sgiVerbatim(2, 2, 4, {1, 2, 3, 4, 11, 12, 13, 14, 21, 22, 23, 24, 31, 32, 33, 34}));
    Model loader;
    GLuint table[3] = {};
    ::testing::internal::CaptureStderr();
    loader.loadTexture(table, "bricks.rgb", 1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "about to load \"bricks.rgb\"...built mipmap\n");
    EXPECT_EQ(table[0], 0u);
    ASSERT_NE(table[1], 0u);
    EXPECT_EQ(levelPixels(table[1], GL_RGBA, 16),
              (Bytes{1, 11, 21, 31, 2, 12, 22, 32, 3, 13, 23, 33, 4, 14, 24, 34}));
    GLint minFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
    glDeleteTextures(1, &table[1]);
}

// Names of 25 characters load; 26 and an absent name cancel the load and
// leave the entry untouched.
TEST_F(TextureLoadingTest, NameLengthLimit) {
    const std::string name25 = "abcdefghijklmnopqrstu.rgb";
    const std::string name26 = "abcdefghijklmnopqrstuv.rgb";
    ASSERT_EQ(name25.size(), 25u);
    writeFile(name25, sgiVerbatim(1, 1, 3, {1, 2, 3}));
    writeFile(name26, sgiVerbatim(1, 1, 3, {1, 2, 3}));
    Model loader;
    GLuint table[2] = {0, 777};
    ::testing::internal::CaptureStderr();
    loader.loadTexture(table, name25.c_str(), 0);
    loader.loadTexture(table, name26.c_str(), 1);
    loader.loadTexture(table, nullptr, 1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "about to load \"" + name25 + "\"...built mipmap\ncanceling load\ncanceling load\n");
    EXPECT_NE(table[0], 0u);
    EXPECT_EQ(table[1], 777u);
    glDeleteTextures(1, &table[0]);
}

// An image that cannot be used ends the game with status 1: a missing one
// through perror, a malformed one with "couldn't open file".
TEST_F(TextureLoadingTest, BadImagesEndTheProgramWithStatusOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Model loader;
    GLuint table[1] = {};
    EXPECT_EXIT(loader.loadTexture(table, "missing.rgb", 0), ::testing::ExitedWithCode(1),
                "about to load \"missing.rgb\"missing.rgb: No such file or directory");
    writeFile("cut.rgb", sgiVerbatim(8, 8, 3, Bytes(20, 0)));
    EXPECT_EXIT(loader.loadTexture(table, "cut.rgb", 0), ::testing::ExitedWithCode(1),
                "cut.rgb: file of 532 bytes is too short for its 8 x 8 x 3 picture \\(704 bytes\\)\ncouldn't "
                "open file cut.rgb\n");
}

// The PPM goes into the bound texture in file order; rows of 6 bytes (not a
// multiple of GL's default alignment of 4) arrive intact, and the alignment
// in force before is restored.
TEST_F(TextureLoadingTest, PpmUploadsIntoTheBoundTexture) {
    const Bytes samples = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    writeFile("light.ppm", ppm("P6\n2 2\n255\n", samples));
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    readPpmTexture("light.ppm");
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);
    EXPECT_EQ(levelPixels(texture, GL_RGB, static_cast<int>(samples.size())), samples);
    glDeleteTextures(1, &texture);
}

// A missing, malformed or oversized PPM is named on stderr and the bound texture gets
// no data; a P3 file is passed over in silence.
TEST_F(TextureLoadingTest, PpmFailuresLeaveTheTextureEmpty) {
    writeFile("text.ppm", ppm("P3\n1 1\n255\n1 2 3\n", {}));
    writeFile("short.ppm", ppm("P6\n4 4\n255\n", Bytes(10, 1)));
    writeFile("wide.ppm", ppm("P6\n4097 1\n255\n", Bytes(3 * 4097, 1)));
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    ::testing::internal::CaptureStderr();
    readPpmTexture("text.ppm");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    ::testing::internal::CaptureStderr();
    readPpmTexture("spotlight_image.ppm");
    readPpmTexture("short.ppm");
    readPpmTexture("wide.ppm");
    const std::string messages = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(messages.find("spotlight_image.ppm: No such file or directory"), std::string::npos) << messages;
    EXPECT_NE(messages.find("short.ppm: size 4 x 4 needs 48 sample bytes"), std::string::npos) << messages;
    EXPECT_NE(messages.find("wide.ppm: size 4097 x 1 has a side over the 4096 pixels"), std::string::npos)
        << messages;
    EXPECT_EQ(levelWidth(texture), 0);
    glDeleteTextures(1, &texture);
}

// load() gives each textured material its texture in the slot of its index;
// a textured material at index 100 or beyond has no slot: it is reported and
// skipped (its missing file would otherwise end the program), and an object
// using it binds no texture.
TEST_F(TextureLoadingTest, ModelLoadFillsTextureSlotsUpToNinetyNine) {
    writeFile("skin.rgb", sgiVerbatim(1, 1, 3, {10, 20, 30}));
    Bytes materials;
    for (int i = 0; i < 101; ++i) {
        const std::string texture = i == 99 ? "skin.rgb" : (i == 100 ? "nowhere.rgb" : "");
        materials = materials + material("m" + std::to_string(i), 1, 2, 3, texture);
    }
    const Bytes mesh = vertexList({{-1, -1, 0}, {1, -1, 0}, {0, 1, 0}});
    writeFile("model.3ds",
              modelFile(materials + namedObject("far", mesh + faceList({{0, 1, 2}}, materialGroup("m100")))));
    Model model;
    ::testing::internal::CaptureStderr();
    model.load("model.3ds");
    const std::string messages = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(messages,
              "about to load \"skin.rgb\"...built mipmap\n"
              "model.3ds: material 100 \"m100\" is past the 100 texture slots; \"nowhere.rgb\" not loaded\n");
    EXPECT_NE(model.textures[99], 0u);
    for (int i = 0; i < 99; ++i) ASSERT_EQ(model.textures[i], 0u) << i;
    ASSERT_TRUE(model.data.objects[0].hasTexture);
    ASSERT_EQ(model.data.objects[0].materialIndex, 100);

    glBindTexture(GL_TEXTURE_2D, model.textures[99]);
    model.draw(true);
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
    glDeleteTextures(1, &model.textures[99]);
}
