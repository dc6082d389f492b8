#include "tablebuilder.h"

#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace testsupport;

// Every later test trusts these records, so their lengths are pinned to the record format.
TEST(TableBuilder, NewPagesHaveTheLengthsOfTheirKind)
{
    auto length = [](const QByteArray &record) {
        return qFromLittleEndian<quint32>(record.data() + 1);
    };
    EXPECT_EQ(length(SoundPage().record()), 53u);
    EXPECT_EQ(length(DoorPage().record()), 34u);
    EXPECT_EQ(length(TexturePage().record()), 66u);
    EXPECT_EQ(length(weaponPage()), 248u);
    EXPECT_EQ(length(shipPage()), 5044u);
    EXPECT_EQ(length(genericPage()), 6204u);
    EXPECT_EQ(length(genericPage("", 7)), 6195u);

    TexturePage procedural;
    procedural.procedural = ProceduralBlock();
    procedural.procedural->elements.resize(3);
    EXPECT_EQ(length(procedural.record()), 66u + 524 + 24);
    EXPECT_EQ(quint8(procedural.record()[7 + 14 + 32 + 1 + 4 + 3]), 1); // flag bit 24

    DoorPage d;
    d.name = "D";
    EXPECT_EQ(length(d.record()), 27u);
}

TEST(TableBuilder, TheCommittedDemoTableIsTheOneTheBuilderMakes)
{
    QFile sample(QStringLiteral(VK_SAMPLE_TABLE));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly)) << "run make_sample samples/demo.gam";
    EXPECT_EQ(sample.readAll(), demoTable());
}
