// The file writers against the game's own readers: what we write is what
// the game decodes, byte for byte, in the layouts the formats define.
#include <gtest/gtest.h>

#include <cstring>

#include "app/random.h"
#include "assets/model_file_reader.h"
#include "assets/ppm_image.h"
#include "assets/sgi_image.h"
#include "ppm_writer.h"
#include "sgi_writer.h"
#include "tds_writer.h"
#include "tools_test_support.h"

namespace {

std::vector<unsigned char> decodeRow(const std::vector<std::uint8_t>& packed, int width) {
    // A one-row, one-channel run-length file around the packed row.
    Picture p(width, 1);
    std::vector<std::uint8_t> file = encodeSgi(p, 1, SgiStorage::runLength, "row");
    const size_t data = 512 + 8;
    file.resize(data);
    file.insert(file.end(), packed.begin(), packed.end());
    const std::uint32_t size = static_cast<std::uint32_t>(packed.size());
    for (int i = 0; i < 4; ++i) file[516 + i] = static_cast<std::uint8_t>(size >> (24 - 8 * i));
    SgiImage image;
    std::string error;
    EXPECT_TRUE(parseSgiImage(image, file.data(), file.size(), error)) << error;
    std::vector<unsigned char> row(width, 0xEE);
    EXPECT_TRUE(decodeSgiRow(image, row.data(), 0, 0, error)) << error;
    return row;
}

// Runs longer than a count byte holds, literal stretches of every length,
// and a row ending in a short repeat decode back to the same bytes.
TEST(SgiWriter, RunLengthRowsDecodeToTheSameBytes) {
    seedGameRandom(99);
    std::vector<std::vector<std::uint8_t>> rows = {
        std::vector<std::uint8_t>(300, 7),  // 127 + 127 + 46
        {1, 2, 3, 4, 5},
        {9, 9},
        {4, 4, 4, 1, 2, 2, 3, 3, 3, 3},
    };
    std::vector<std::uint8_t> literal(400);
    for (size_t i = 0; i < literal.size(); ++i) literal[i] = static_cast<std::uint8_t>(i * 7);
    rows.push_back(literal);
    for (int r = 0; r < 20; ++r) {  // random mixtures of runs and noise
        std::vector<std::uint8_t> row;
        while (row.size() < 257) {
            const int n = 1 + gameRandom() % 140;
            const std::uint8_t v = static_cast<std::uint8_t>(gameRandom());
            for (int k = 0; k < n; ++k)
                row.push_back(gameRandom() % 2 ? v : static_cast<std::uint8_t>(gameRandom()));
        }
        rows.push_back(row);
    }
    for (const auto& row : rows) {
        std::vector<std::uint8_t> packed;
        encodeSgiRow(row.data(), static_cast<int>(row.size()), packed);
        ASSERT_EQ(packed.back(), 0) << "rows end with a zero count";
        EXPECT_LE(packed.size(), row.size() + row.size() / 127 + 2) << "never much larger than the row";
        EXPECT_EQ(decodeRow(packed, static_cast<int>(row.size())),
                  std::vector<unsigned char>(row.begin(), row.end()));
    }
}

// Three equal bytes become one run; shorter repeats stay literal.
TEST(SgiWriter, RepeatsOfThreeOrMoreBecomeRuns) {
    const std::uint8_t row[] = {5, 5, 5, 5, 8, 9, 9};
    std::vector<std::uint8_t> packed;
    encodeSgiRow(row, 7, packed);
    const std::vector<std::uint8_t> expected = {0x04, 5, 0x83, 8, 9, 9, 0x00};
    EXPECT_EQ(packed, expected);
}

// The header says what the game and other readers look for, and verbatim
// planes sit where the format puts them (row 1 of a 3 x 2 grey image at 515).
TEST(SgiWriter, HeaderAndVerbatimLayout) {
    Picture p(3, 2);
    p.at(0, 1) = Colour(100 / 255.0f, 0, 0);
    const std::vector<std::uint8_t> file = encodeSgi(p, 1, SgiStorage::verbatim, "tiny");
    ASSERT_EQ(file.size(), 512u + 6);
    EXPECT_EQ(file[0] * 256 + file[1], 474);  // magic
    EXPECT_EQ(file[2], 0);                    // verbatim
    EXPECT_EQ(file[3], 1);                    // one byte per channel
    EXPECT_EQ(file[6] * 256 + file[7], 3);
    EXPECT_EQ(file[8] * 256 + file[9], 2);
    EXPECT_EQ(file[10] * 256 + file[11], 1);
    EXPECT_STREQ(reinterpret_cast<const char*>(&file[24]), "tiny");
    EXPECT_EQ(file[515], 100);

    const std::vector<std::uint8_t> packed = encodeSgi(p, 4, SgiStorage::runLength, "tiny");
    EXPECT_EQ(packed[2], 1) << "run-length storage";
    EXPECT_EQ(packed[10] * 256 + packed[11], 4);
}

// Both storages and channel counts decode through the game's core to the
// picture's bytes, rows bottom-up, alpha kept only for four channels.
TEST(SgiWriter, PicturesRoundTripThroughTheGameDecoder) {
    Picture p(37, 11);  // odd sizes catch stride mistakes
    for (int y = 0; y < p.height(); ++y) {
        for (int x = 0; x < p.width(); ++x)
            p.at(x, y) = Colour(x / 36.0f, y / 10.0f, (x * y % 5) / 4.0f, (x % 3) / 2.0f);
    }
    for (int channels : {3, 4}) {
        const std::vector<std::uint8_t> expect = p.toBytes(4);
        for (SgiStorage storage : {SgiStorage::verbatim, SgiStorage::runLength}) {
            const DecodedImage d = decodeSgi(encodeSgi(p, channels, storage, "grid"));
            ASSERT_EQ(d.width, 37);
            ASSERT_EQ(d.height, 11);
            EXPECT_EQ(d.channels, channels);
            for (size_t i = 0; i < d.rgba.size(); ++i) {
                const unsigned char want = (i % 4 == 3 && channels == 3) ? 255 : expect[i];
                ASSERT_EQ(d.rgba[i], want) << "byte " << i << ", " << channels << " channels";
            }
        }
    }
}

// PPM: each header element on its own line, the picture's top row first.
TEST(PpmWriter, HeaderLinesAndTopRowFirst) {
    Picture p(4, 3);
    p.at(0, 2) = Colour(1, 0, 0);  // top-left of the picture
    p.at(3, 0) = Colour(0, 0, 1);  // bottom-right
    const std::vector<std::uint8_t> file = encodePpm(p);
    const std::string header = "P6\n4 3\n255\n";
    ASSERT_EQ(std::string(file.begin(), file.begin() + header.size()), header);
    PpmImage image;
    std::string error;
    ASSERT_EQ(decodePpm(file.data(), file.size(), image, error), PpmStatus::ok) << error;
    ASSERT_EQ(image.width, 4);
    ASSERT_EQ(image.height, 3);
    EXPECT_EQ(image.samples[0], 255);
    EXPECT_EQ(image.samples[(2 * 4 + 3) * 3 + 2], 255);
}

Mesh square(const char* name, const char* material) {
    Mesh m;
    m.name = name;
    m.material = material;
    const int a = m.addVertex({0, 0, 0}, 0, 0), b = m.addVertex({1, 0, 0}, 1, 0);
    const int c = m.addVertex({1, 1, 0}, 1, 1), d = m.addVertex({0, 1, 0}, 0, 1);
    m.addQuad(a, b, c, d);
    return m;
}

// Everything the game keeps from a model file comes back as written:
// materials with colour and texture, objects with their material, vertices,
// faces, texture coordinates; the extra naming block is skipped cleanly.
TEST(TdsWriter, ModelsReadBackThroughTheGameReader) {
    ModelMaterial plain;
    plain.name = "plain";
    plain.colour[0] = 10;
    plain.colour[1] = 20;
    plain.colour[2] = 30;
    ModelMaterial skin;
    skin.name = "skin";
    skin.textureFile = "skin.rgb";
    const std::vector<Mesh> meshes = {square("first", "skin"), square("second", "plain")};
    const std::vector<std::uint8_t> file = encode3ds({plain, skin}, meshes);

    std::uint32_t mainLength = 0;
    std::memcpy(&mainLength, &file[2], 4);
    EXPECT_EQ(file[0] | file[1] << 8, 0x4D4D);
    EXPECT_EQ(mainLength, file.size());

    ModelData model;
    ModelFileReader reader;
    reader.log = nullptr;
    ASSERT_EQ(reader.readBytes(model, file.data(), file.size(), "test.3ds"), ModelReadStatus::ok)
        << reader.error();
    ASSERT_EQ(model.materialCount, 2);
    EXPECT_STREQ(model.materials[0].name, "plain");
    EXPECT_EQ(model.materials[0].colour[2], 30);
    EXPECT_STREQ(model.materials[1].textureFile, "skin.rgb");
    ASSERT_EQ(model.objectCount, 2);
    const MeshObject& first = model.objects[0];
    EXPECT_STREQ(first.name, "first");
    EXPECT_EQ(first.materialIndex, 1);
    EXPECT_TRUE(first.hasTexture);
    ASSERT_EQ(first.vertexCount, 4);
    ASSERT_EQ(first.texCoordCount, 4);
    ASSERT_EQ(first.faceCount, 2);
    EXPECT_EQ(first.vertices[2].x, 1.0f);
    EXPECT_EQ(first.vertices[2].y, 1.0f);
    EXPECT_EQ(first.texCoords[3].v, 1.0f);
    EXPECT_EQ(first.faces[1].c, 3);
    EXPECT_FLOAT_EQ(first.normals[0].z, 1.0f) << "counter-clockwise seen from +z";
    const MeshObject& second = model.objects[1];
    EXPECT_EQ(second.materialIndex, 0);
    EXPECT_FALSE(second.hasTexture);
    EXPECT_EQ(second.texCoordCount, 0) << "untextured objects carry no coordinates";
    releaseModelData(model);
}

}  // namespace
