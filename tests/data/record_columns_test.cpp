// The in-memory copy of the records that reports read: it must never be stale, and the
// halves it is read in must join into the same records SQL sees.
#include "data/database.h"
#include "data/record_columns.h"
#include "data/schema.h"
#include "support/temp_store.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cmath>

using namespace kestrova;
using kestrova::test::TempStore;

namespace {

void insert(Database &db, qint64 id, const QString &province, const QVariant &capacity)
{
    db.exec(QStringLiteral("INSERT INTO TZ_XIANGMU (ID, 省, 仓容合计) VALUES (?, ?, ?)"), {id, province, capacity});
}

double sumOf(const RecordColumns &r, const QString &column)
{
    double s = 0;
    for (double v : *r.numbers(column))
        if (!RecordColumns::isNull(v))
            s += v;
    return s;
}

QString provinceAt(const RecordColumns &r, size_t row)
{
    const auto *t = r.texts(QStringLiteral("省"));
    return t->values[t->ids[row]];
}

} // namespace

TEST(RecordColumns, FollowsEveryCommitOfAnyConnection)
{
    TempStore store;
    insert(*store.db, 1, QStringLiteral("河北省"), 10);
    auto first = recordColumns(*store.db);
    ASSERT_EQ(first->rowCount(), 1);
    EXPECT_EQ(recordColumns(*store.db), first) << "unchanged records are not read again";

    // another connection, as another window or kestrova-cli would be
    Database other(store.db->path());
    insert(other, 2, QStringLiteral("山西省"), QVariant());
    auto second = recordColumns(*store.db);
    ASSERT_EQ(second->rowCount(), 2);
    EXPECT_TRUE(RecordColumns::isNull((*second->numbers(QStringLiteral("仓容合计")))[1])) << "NULL stays NULL";
    EXPECT_EQ(provinceAt(*second, 1), QStringLiteral("山西省"));

    other.exec(QStringLiteral("UPDATE TZ_XIANGMU SET 仓容合计=? WHERE ID=1"), {25.5});
    EXPECT_EQ(sumOf(*recordColumns(*store.db), QStringLiteral("仓容合计")), 25.5);

    {
        Transaction t(other);
        other.exec(QStringLiteral("DELETE FROM TZ_XIANGMU"));
        // not committed: what is held stays right for everyone else
        EXPECT_EQ(recordColumns(*store.db)->rowCount(), 2);
    } // rolled back
    EXPECT_EQ(recordColumns(*store.db)->rowCount(), 2);
    other.exec(QStringLiteral("DELETE FROM TZ_XIANGMU"));
    EXPECT_EQ(recordColumns(*store.db)->rowCount(), 0);
}

TEST(RecordColumns, AFileReplacedUnderTheSameNameIsReadAfresh)
{
    TempStore store;
    insert(*store.db, 1, QStringLiteral("河北省"), 10);
    const QString path = store.db->path();
    ASSERT_EQ(recordColumns(*store.db)->rowCount(), 1);

    // a restore writes the backup beside the database and renames it over
    const QString copy = store.file(QStringLiteral("restored.db"));
    ASSERT_TRUE(QFile::copy(path, copy));
    {
        Database seed(copy);
        insert(seed, 7, QStringLiteral("湖北省"), 1);
    }
    store.db.reset();
    ASSERT_EQ(::rename(QFile::encodeName(copy).constData(), QFile::encodeName(path).constData()), 0);
    Database reopened(path);
    const auto after = recordColumns(reopened);
    ASSERT_EQ(after->rowCount(), 2);
    EXPECT_EQ(provinceAt(*after, 1), QStringLiteral("湖北省"));
}

TEST(RecordColumns, HalvesReadOnTwoThreadsJoinInIdOrder)
{
    TempStore store;
    // IDs spread far enough apart that the records are read in two halves; texts seen
    // only in one half, and in both, share one numbering.
    {
        Transaction t(*store.db);
        for (int i = 0; i < 3000; ++i) {
            const qint64 id = 1 + qint64(i) * 17;
            const QString province = i < 1000 ? QStringLiteral("河北省")
                                     : i < 2000 ? QStringLiteral("山西省") : QStringLiteral("河北省");
            insert(*store.db, id, i == 2999 ? QStringLiteral("西藏自治区") : province,
                   i % 5 == 0 ? QVariant() : QVariant(double(i) + 0.25));
        }
        t.commit();
    }
    dropRecordColumns();
    const auto r = recordColumns(*store.db);
    ASSERT_EQ(r->rowCount(), 3000);
    const QString sql = store.db->scalar(QStringLiteral("SELECT sum(仓容合计) FROM TZ_XIANGMU"));
    EXPECT_EQ(sumOf(*r, QStringLiteral("仓容合计")), sql.toDouble());
    const auto *provinces = r->texts(QStringLiteral("省"));
    EXPECT_EQ(provinces->values.size(), 3);
    EXPECT_EQ(provinceAt(*r, 0), QStringLiteral("河北省"));
    EXPECT_EQ(provinceAt(*r, 1500), QStringLiteral("山西省"));
    EXPECT_EQ(provinceAt(*r, 2500), QStringLiteral("河北省"));
    EXPECT_EQ(provinceAt(*r, 2999), QStringLiteral("西藏自治区"));
    EXPECT_EQ(provinces->ids[0], provinces->ids[2500]);
    EXPECT_EQ(provinces->idOf(QStringLiteral("湖北省")), -1);
    EXPECT_EQ(r->numbers(QStringLiteral("企业名称")), nullptr) << "only indicators are numbers";
}

TEST(RecordColumns, MissingDatabaseIsAnError)
{
    TempStore store;
    Database db(store.db->path());
    store.db.reset();
    QFile::remove(db.path());
    EXPECT_THROW(recordColumns(db), DbError);
}
