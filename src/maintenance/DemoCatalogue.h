#pragma once

// The fixed tables the demo generator draws from: cities, contract types and
// goods. Texts are UTF-8.
namespace DemoData {

struct City
{
    const char* name;
    const char* areaCode;
    const char* postPrefix;
};

// A contract type of the demo: where it sits in the type tree and what its
// contracts look like.
struct TypeDef
{
    const char* group;
    const char* name;
    int direction; // 1 receipt, -1 payment, 0 either
    int weight;
    double low, high; // amount when not made of goods lines
    int shortest, longest;
    int projectPercent;
    int goodsPercent;
    const char* goodsTypes;
    const char* depts;
    const char* titles; // '|'-separated; {P} project, {G} goods, {Y} year, {C} city
    const char* scope;
    int work; // which execution steps fit: 0 works, 1 goods, 2 services, 3 lease
};

struct GoodsDef
{
    const char* type;
    const char* name;
    const char* unit;
    const char* models; // '|'-separated
    double low, high;
};

inline constexpr int kCityCount = 40;
inline constexpr int kTypeCount = 17;
inline constexpr int kGoodsCount = 47;
extern const City kCities[kCityCount];
extern const TypeDef kTypes[kTypeCount];
extern const GoodsDef kGoods[kGoodsCount];

} // namespace DemoData
