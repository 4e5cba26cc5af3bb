#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <numbers>
#include <string>

#include "platform/d3d8/d3dx8.h"

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

void ExpectMatrixNear(const D3DXMATRIX& actual, const D3DXMATRIX& expected, float tolerance = 1e-5f) {
    for (UINT row = 0; row < 4; ++row) {
        for (UINT column = 0; column < 4; ++column) {
            EXPECT_NEAR(actual(row, column), expected(row, column), tolerance)
                << "row " << row + 1 << ", column " << column + 1;
        }
    }
}

// Row vector (x, y, z, 1) times m.
D3DXVECTOR3 TransformPoint(const D3DXVECTOR3& p, const D3DXMATRIX& m) {
    return {p.x * m._11 + p.y * m._21 + p.z * m._31 + m._41, p.x * m._12 + p.y * m._22 + p.z * m._32 + m._42,
            p.x * m._13 + p.y * m._23 + p.z * m._33 + m._43};
}

D3DXMATRIX Identity() {
    D3DXMATRIX m;
    return *D3DXMatrixIdentity(&m);
}

struct MatrixCase {
    const char* name;
    D3DXMATRIX (*make)();
    D3DXMATRIX expected;
};

const MatrixCase kMatrixCases[] = {
    {"identity", Identity, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
    {"translation in row four",
     [] {
         D3DXMATRIX m;
         return *D3DXMatrixTranslation(&m, 1, 2, 3);
     },
     {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1}},
    {"rotation about y by a quarter turn",
     [] {
         D3DXMATRIX m;
         return *D3DXMatrixRotationY(&m, kPi / 2);
     },
     {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1}},
    {"rotation about y by a sixth of a turn",
     [] {
         D3DXMATRIX m;
         return *D3DXMatrixRotationY(&m, kPi / 3);
     },
     {0.5f, 0, -0.8660254f, 0, 0, 1, 0, 0, 0.8660254f, 0, 0.5f, 0, 0, 0, 0, 1}},
    // yScale = cot(45 deg) = 1, xScale = 1 / 2, zf / (zf - zn) = 1.5, -zn * zf / (zf - zn) = -1.5.
    {"perspective, quarter-turn field of view",
     [] {
         D3DXMATRIX m;
         return *D3DXMatrixPerspectiveFovLH(&m, kPi / 2, 2.0f, 1.0f, 3.0f);
     },
     {0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1.5f, 1, 0, 0, -1.5f, 0}},
    // The viewer's own projection: cot(22.5 deg) = 2.4142136.
    {"perspective of the viewer",
     [] {
         D3DXMATRIX m;
         return *D3DXMatrixPerspectiveFovLH(&m, kPi / 4, 4.0f / 3.0f, 0.1f, 3000.0f);
     },
     {1.8106602f, 0, 0, 0, 0, 2.4142136f, 0, 0, 0, 0, 1.0000333f, 1, 0, 0, -0.10000333f, 0}},
    {"look along +z from z = -10",
     [] {
         const D3DXVECTOR3 eye(0, 0, -10), at(0, 0, 0), up(0, 1, 0);
         D3DXMATRIX m;
         return *D3DXMatrixLookAtLH(&m, &eye, &at, &up);
     },
     {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 10, 1}},
    // zaxis = (-1, 0, 0), xaxis = up x zaxis = (0, 0, 1), yaxis = (0, 1, 0).
    {"look along -x from x = 10",
     [] {
         const D3DXVECTOR3 eye(10, 0, 0), at(0, 0, 0), up(0, 1, 0);
         D3DXMATRIX m;
         return *D3DXMatrixLookAtLH(&m, &eye, &at, &up);
     },
     {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 10, 1}},
    // The camera the viewer aims at a mesh: from 1000 units along +z.
    {"look along -z at a mesh centre",
     [] {
         const D3DXVECTOR3 eye(10, 20, 1030), at(10, 20, 30), up(0, 1, 0);
         D3DXMATRIX m;
         return *D3DXMatrixLookAtLH(&m, &eye, &at, &up);
     },
     {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 10, -20, 1030, 1}},
};

class MatrixHelpers : public testing::TestWithParam<MatrixCase> {};

TEST_P(MatrixHelpers, MatchTheHandComputedMatrix) { ExpectMatrixNear(GetParam().make(), GetParam().expected); }

void PrintTo(const MatrixCase& c, std::ostream* os) { *os << c.name; }

INSTANTIATE_TEST_SUITE_P(Cases, MatrixHelpers, testing::ValuesIn(kMatrixCases),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             }
                             return name;
                         });

TEST(MatrixHelpers, MultiplyIsRowTimesColumnInArgumentOrder) {
    const D3DXMATRIX a(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    const D3DXMATRIX b(0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 1, 0, 0, 0);  // moves columns one to the right
    const D3DXMATRIX aTimesB(4, 1, 2, 3, 8, 5, 6, 7, 12, 9, 10, 11, 16, 13, 14, 15);
    const D3DXMATRIX bTimesA(5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 1, 2, 3, 4);
    D3DXMATRIX out;
    EXPECT_EQ(*D3DXMatrixMultiply(&out, &a, &b), aTimesB);
    EXPECT_EQ(*D3DXMatrixMultiply(&out, &b, &a), bTimesA);
    EXPECT_EQ(a * b, aTimesB);

    D3DXMATRIX aliasLeft = a;
    D3DXMatrixMultiply(&aliasLeft, &aliasLeft, &b);
    EXPECT_EQ(aliasLeft, aTimesB);
    D3DXMATRIX aliasRight = a;
    D3DXMatrixMultiply(&aliasRight, &b, &aliasRight);
    EXPECT_EQ(aliasRight, bTimesA);
    D3DXMATRIX square = b;
    D3DXMatrixMultiply(&square, &square, &square);
    EXPECT_EQ(square, D3DXMATRIX(0, 0, 1, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 1, 0, 0));
}

TEST(MatrixHelpers, ProductAppliesTheLeftMatrixFirstToRowVectors) {
    D3DXMATRIX rotation, translation;
    D3DXMatrixRotationY(&rotation, kPi / 2);
    D3DXMatrixTranslation(&translation, 5, 0, 0);
    const D3DXVECTOR3 moved = TransformPoint({1, 0, 0}, rotation * translation);
    EXPECT_NEAR(moved.x, 5, 1e-6);  // rotated to (0, 0, -1), then moved along x
    EXPECT_NEAR(moved.y, 0, 1e-6);
    EXPECT_NEAR(moved.z, -1, 1e-6);
}

TEST(MatrixHelpers, ViewPutsTheTargetStraightAheadAtItsDistance) {
    const D3DXVECTOR3 eye(3, -4, 12), at(-2, 7, 1), up(0, 1, 0);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    const D3DXVECTOR3 seen = TransformPoint(at, view);
    const float distance = std::sqrt(5.0f * 5.0f + 11.0f * 11.0f + 11.0f * 11.0f);
    EXPECT_NEAR(seen.x, 0, 1e-4);
    EXPECT_NEAR(seen.y, 0, 1e-4);
    EXPECT_NEAR(seen.z, distance, 1e-4);
    const D3DXVECTOR3 origin = TransformPoint(eye, view);
    EXPECT_NEAR(origin.x, 0, 1e-4);
    EXPECT_NEAR(origin.y, 0, 1e-4);
    EXPECT_NEAR(origin.z, 0, 1e-4);
}

TEST(MatrixHelpers, LookAtWithTheEyeOnTheTargetStaysFinite) {
    const D3DXVECTOR3 eye(1, 2, 3), up(0, 1, 0);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &eye, &up);
    for (UINT row = 0; row < 4; ++row) {
        for (UINT column = 0; column < 4; ++column) {
            EXPECT_TRUE(std::isfinite(view(row, column))) << row << "," << column;
        }
    }
}

TEST(MatrixHelpers, EqualityComparesEveryElement) {
    const D3DXMATRIX base = Identity();
    for (UINT i = 0; i < 16; ++i) {
        D3DXMATRIX changed = base;
        changed(i / 4, i % 4) += 0.5f;
        EXPECT_FALSE(changed == base) << "element " << i;
    }
    EXPECT_TRUE(Identity() == base);
}

}  // namespace
