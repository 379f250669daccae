// mesh_builder.cpp -- building blocks of the generated models.
#include "mesh_builder.h"

#include <algorithm>
#include <cmath>

int Mesh::addVertex(const Vector3& p, float u, float v) {
    vertices.push_back(p);
    texCoords.push_back({u, v});
    return static_cast<int>(vertices.size()) - 1;
}

void Mesh::addTriangle(int a, int b, int c) {
    Face f;
    f.a = a;
    f.b = b;
    f.c = c;
    faces.push_back(f);
}

void Mesh::addQuad(int a, int b, int c, int d) {
    addTriangle(a, b, c);
    addTriangle(a, c, d);
}

void Mesh::addFlatQuad(const Vector3& a, const Vector3& b, const Vector3& c, const Vector3& d, float u0,
                       float v0, float u1, float v1) {
    const int ia = addVertex(a, u0, v0);
    const int ib = addVertex(b, u1, v0);
    const int ic = addVertex(c, u1, v1);
    const int id = addVertex(d, u0, v1);
    addQuad(ia, ib, ic, id);
}

void Mesh::addPolygon(const std::vector<Vector3>& outline, const Vector3& facing, float u, float v) {
    Vector3 normal;
    const size_t n = outline.size();
    for (size_t i = 0; i < n; ++i) normal += outline[i].cross(outline[(i + 1) % n]);
    const bool reversed = normal.dot(facing) < 0;
    const int base = static_cast<int>(vertices.size());
    for (size_t i = 0; i < n; ++i) addVertex(outline[reversed ? n - 1 - i : i], u, v);
    for (size_t i = 1; i + 1 < n; ++i)
        addTriangle(base, base + static_cast<int>(i), base + static_cast<int>(i) + 1);
}

void Mesh::addBox(const Vector3& lo, const Vector3& hi, float u, float v) {
    const Vector3 p[8] = {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {lo.x, hi.y, lo.z},
                          {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}};
    // Each side counter-clockwise seen from outside.
    const int sides[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4},
                             {2, 3, 7, 6}, {1, 2, 6, 5}, {3, 0, 4, 7}};
    for (const auto& s : sides) addFlatQuad(p[s[0]], p[s[1]], p[s[2]], p[s[3]], u, v, u, v);
}

void Mesh::addOrientedBox(const Vector3& c, const Vector3& ax, const Vector3& ay, const Vector3& az, float u0,
                          float u1, float v) {
    // Corner k: bit 0 picks +ax, bit 1 +ay, bit 2 +az.
    Vector3 p[8];
    for (int k = 0; k < 8; ++k) {
        p[k] =
            c + ax * ((k & 1) ? 1.0f : -1.0f) + ay * ((k & 2) ? 1.0f : -1.0f) + az * ((k & 4) ? 1.0f : -1.0f);
    }
    auto u = [&](int k) { return (k & 1) ? u1 : u0; };
    const int sides[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                             {3, 2, 6, 7}, {1, 3, 7, 5}, {2, 0, 4, 6}};
    for (const auto& s : sides) {
        int idx[4];
        for (int i = 0; i < 4; ++i) idx[i] = addVertex(p[s[i]], u(s[i]), v);
        addQuad(idx[0], idx[1], idx[2], idx[3]);
    }
}

void Mesh::addTube(const Vector3& a, const Vector3& b, float radius, int sides, float u, float v) {
    Vector3 d = b - a;
    d.normalize();
    // A frame (e1, e2) across the tube with e2 x e1 = d, so the rings run
    // the way addLoft expects.
    Vector3 helper = std::fabs(d.z) < 0.9f ? Vector3(0, 0, 1) : Vector3(1, 0, 0);
    Vector3 e1 = helper.cross(d);
    e1.normalize();
    Vector3 e2 = e1.cross(d);
    std::vector<Vector3> rings;
    for (const Vector3& centre : {a, b}) {
        for (int j = 0; j < sides; ++j) {
            const float phi = 6.2831853f * static_cast<float>(j) / static_cast<float>(sides);
            rings.push_back(centre + (e1 * std::cos(phi) + e2 * std::sin(phi)) * radius);
        }
    }
    const std::vector<float> ringU = {u, u};
    const std::vector<float> ringV(static_cast<size_t>(sides) + 1, v);
    addLoft(*this, rings, sides, ringU, ringV, a, b);
}

void Mesh::addSlab(const std::vector<Vector3>& outline, const Vector3& thickness, float u, float v) {
    // Newell's normal of the outline decides which way it winds.
    Vector3 normal;
    const size_t n = outline.size();
    for (size_t i = 0; i < n; ++i) normal += outline[i].cross(outline[(i + 1) % n]);
    std::vector<Vector3> ring = outline;
    if (normal.dot(thickness) < 0) ring.assign(outline.rbegin(), outline.rend());
    // Far face counter-clockwise seen from beyond it, near face reversed.
    const int far = static_cast<int>(vertices.size());
    for (const Vector3& p : ring) addVertex(p + thickness, u, v);
    for (size_t i = 1; i + 1 < n; ++i)
        addTriangle(far, far + static_cast<int>(i), far + static_cast<int>(i) + 1);
    const int near = static_cast<int>(vertices.size());
    for (const Vector3& p : ring) addVertex(p, u, v);
    for (size_t i = 1; i + 1 < n; ++i)
        addTriangle(near, near + static_cast<int>(i) + 1, near + static_cast<int>(i));
    for (size_t i = 0; i < n; ++i) {
        const Vector3& a = ring[i];
        const Vector3& b = ring[(i + 1) % n];
        addFlatQuad(a, b, b + thickness, a + thickness, u, v, u, v);
    }
}

void Mesh::bounds(Vector3& lo, Vector3& hi) const {
    lo = hi = vertices.empty() ? Vector3() : vertices[0];
    for (const Vector3& p : vertices) {
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], p[k]);
            hi[k] = std::max(hi[k], p[k]);
        }
    }
}

void addLoft(Mesh& mesh, const std::vector<Vector3>& rings, int ringSize, const std::vector<float>& ringU,
             const std::vector<float>& ringV, const Vector3& startCap, const Vector3& endCap) {
    const int ringCount = static_cast<int>(rings.size()) / ringSize;
    const int base = static_cast<int>(mesh.vertices.size());
    const int stride = ringSize + 1;
    for (int i = 0; i < ringCount; ++i) {
        for (int j = 0; j <= ringSize; ++j) {
            mesh.addVertex(rings[i * ringSize + j % ringSize], ringU[i], ringV[j]);
        }
    }
    for (int i = 0; i + 1 < ringCount; ++i) {
        for (int j = 0; j < ringSize; ++j) {
            const int a = base + i * stride + j;
            const int b = base + (i + 1) * stride + j;
            mesh.addQuad(a, b, b + 1, a + 1);
        }
    }
    // Caps: fans from a centre point, sharing the end rings' positions.
    const float capV = (ringV.front() + ringV.back()) / 2;
    const int first = mesh.addVertex(startCap, ringU.front(), capV);
    for (int j = 0; j < ringSize; ++j) mesh.addTriangle(first, base + j, base + j + 1);
    const int last = mesh.addVertex(endCap, ringU.back(), capV);
    const int lastRing = base + (ringCount - 1) * stride;
    for (int j = 0; j < ringSize; ++j) mesh.addTriangle(last, lastRing + j + 1, lastRing + j);
}

namespace {

struct SliceVertex {
    Vector3 p;
    TexCoord t;
};

// Heights closer than this to a band line count as on it.
constexpr float onLine = 1e-6f;

// Where the edge a-b crosses the line y = level, always computed from the
// edge's lower end so every triangle sharing the edge gets the same point
// and no crack opens between them.
SliceVertex crossing(const SliceVertex& a, const SliceVertex& b, float level) {
    const bool aFirst = a.p.y < b.p.y || (a.p.y == b.p.y && a.p.x < b.p.x);
    const SliceVertex& lo = aFirst ? a : b;
    const SliceVertex& hi = aFirst ? b : a;
    const float k = (level - lo.p.y) / (hi.p.y - lo.p.y);
    return {lo.p + (hi.p - lo.p) * k, {lo.t.u + (hi.t.u - lo.t.u) * k, lo.t.v + (hi.t.v - lo.t.v) * k}};
}

// The part of a convex polygon between the lines y = y0 and y = y1: its own
// corners inside the band and the points where its edges cross the lines,
// in order around it. Crossings come from the polygon's own edges only.
std::vector<SliceVertex> clipToBand(const std::vector<SliceVertex>& poly, float y0, float y1) {
    std::vector<SliceVertex> out;
    for (size_t i = 0; i < poly.size(); ++i) {
        const SliceVertex& a = poly[i];
        const SliceVertex& b = poly[(i + 1) % poly.size()];
        if (a.p.y >= y0 - onLine && a.p.y <= y1 + onLine) out.push_back(a);
        const float levels[2] = {b.p.y > a.p.y ? y0 : y1, b.p.y > a.p.y ? y1 : y0};  // in order along a-b
        for (float level : levels) {
            const float da = a.p.y - level, db = b.p.y - level;
            if ((da < -onLine && db > onLine) || (da > onLine && db < -onLine))
                out.push_back(crossing(a, b, level));
        }
    }
    return out;
}

float polygonArea(const std::vector<SliceVertex>& poly) {
    Vector3 n;
    for (size_t i = 0; i < poly.size(); ++i) n += poly[i].p.cross(poly[(i + 1) % poly.size()].p);
    return n.length() / 2;
}

// Bands [k * step, (k + 1) * step] that a height range touches.
void bandRange(float lo, float hi, float step, int& first, int& last) {
    first = static_cast<int>(std::floor((lo + onLine) / step));
    last = static_cast<int>(std::ceil((hi - onLine) / step));
    if (last <= first) last = first + 1;
}

}  // namespace

void addPolygonInBands(Mesh& mesh, const std::vector<Vector3>& outline, const Vector3& facing, float step) {
    float lo = outline[0].y, hi = lo;
    std::vector<SliceVertex> poly;
    for (const Vector3& p : outline) {
        lo = std::min(lo, p.y);
        hi = std::max(hi, p.y);
        poly.push_back({p, {}});
    }
    int firstBand, lastBand;
    bandRange(lo, hi, step, firstBand, lastBand);
    for (int band = firstBand; band < lastBand; ++band) {
        const std::vector<SliceVertex> piece = clipToBand(poly, band * step, (band + 1) * step);
        if (piece.size() < 3 || polygonArea(piece) <= 0) continue;
        std::vector<Vector3> points;
        for (const SliceVertex& v : piece) points.push_back(v.p);
        mesh.addPolygon(points, facing);
    }
}

void sliceAlongY(Mesh& mesh, float step) {
    Mesh sliced;
    // Vertices stay shared where a triangle lies within one band, so smooth
    // shading is kept; cut pieces get their own vertices.
    sliced.vertices = mesh.vertices;
    sliced.texCoords = mesh.texCoords;
    for (const Face& f : mesh.faces) {
        const int idx[3] = {f.a, f.b, f.c};
        float lo = mesh.vertices[f.a].y, hi = lo;
        for (int k : idx) {
            lo = std::min(lo, mesh.vertices[k].y);
            hi = std::max(hi, mesh.vertices[k].y);
        }
        int firstBand, lastBand;
        bandRange(lo, hi, step, firstBand, lastBand);
        if (lastBand - firstBand <= 1) {
            sliced.faces.push_back(f);
            continue;
        }
        std::vector<SliceVertex> poly;
        for (int k : idx) poly.push_back({mesh.vertices[k], mesh.texCoords[k]});
        for (int band = firstBand; band < lastBand; ++band) {
            const std::vector<SliceVertex> piece = clipToBand(poly, band * step, (band + 1) * step);
            if (piece.size() < 3 || polygonArea(piece) <= 0) continue;
            const int base = static_cast<int>(sliced.vertices.size());
            for (const SliceVertex& v : piece) sliced.addVertex(v.p, v.t.u, v.t.v);
            for (size_t k = 1; k + 1 < piece.size(); ++k) {
                sliced.addTriangle(base, base + static_cast<int>(k), base + static_cast<int>(k) + 1);
            }
        }
    }
    // Keep only the vertices the faces still use, in their order.
    mesh.vertices.clear();
    mesh.texCoords.clear();
    mesh.faces.clear();
    std::vector<int> remap(sliced.vertices.size(), -1);
    for (Face f : sliced.faces) {
        for (int32_t* k : {&f.a, &f.b, &f.c}) {
            if (remap[*k] < 0) {
                remap[*k] = static_cast<int>(mesh.vertices.size());
                mesh.vertices.push_back(sliced.vertices[*k]);
                mesh.texCoords.push_back(sliced.texCoords[*k]);
            }
            *k = remap[*k];
        }
        mesh.faces.push_back(f);
    }
}
