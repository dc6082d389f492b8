#pragma once

// The table the benchmarks time: every kind at its capacity, in random order with random
// names, so that neither the list order nor the kind order follows the file.

#include "pagekinds.h"
#include "tablebuilder.h"

#include <algorithm>
#include <random>

namespace bench {

inline QByteArray randomName(std::mt19937 &random)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ ";
    std::uniform_int_distribution<int> length(4, 24);
    std::uniform_int_distribution<int> letter(0, sizeof letters - 2);
    QByteArray name;
    for (int i = length(random); i > 0; --i)
        name += letters[letter(random)];
    return name;
}

template<typename Page> QByteArray named(const QByteArray &name)
{
    Page page;
    page.name = name;
    return page.record();
}

inline QByteArray fullTable()
{
    using namespace testsupport;
    std::mt19937 random(2026);
    QList<QByteArray> records;
    auto add = [&](PageKind kind, QByteArray (*make)(const QByteArray &)) {
        for (int i = 0; i < kindInfo(kind).capacity; ++i)
            records.append(make(randomName(random)));
    };
    add(PageKind::Texture, named<TexturePage>);
    add(PageKind::Sound, named<SoundPage>);
    add(PageKind::Weapon, [](const QByteArray &name) { return weaponPage(name); });
    add(PageKind::Generic, [](const QByteArray &name) { return genericPage(name); });
    add(PageKind::Door, named<DoorPage>);
    add(PageKind::Ship, [](const QByteArray &name) { return shipPage(name); });
    add(PageKind::PassThrough,
        [](const QByteArray &name) { return passThroughRecord(name + QByteArray(80, 'x')); });
    std::shuffle(records.begin(), records.end(), random);
    return table(records);
}

} // namespace bench
