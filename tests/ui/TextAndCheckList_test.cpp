// The window's text rules (bytes shown as UTF-8, else Latin-1) and the check list's model
// over the server list: what each row shows and what a check box click does to the list.
#include "serverlist/ServerList.h"
#include "ui/CheckListModel.h"
#include "ui/TextCodec.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace qm;

TEST(TextCodec, BytesShowAsUtf8WhenTheyAreElseAsLatin1AndTypedTextIsUtf8) {
    const struct {
        const char* what;
        std::string bytes;
        QString shown;
    } cases[] = {
        {"plain text", "de_dust2", QStringLiteral("de_dust2")},
        {"UTF-8", "Kr\xC3\xA4mer \xD0\x98", QString::fromUtf8("Kr\xC3\xA4mer \xD0\x98")},
        {"a Latin-1 name", "Kr\xE4mer", QString::fromLatin1("Kr\xE4mer")},
        {"UTF-8 cut in a character", "cut \xC3", QString::fromLatin1("cut \xC3")},
        {"an encoded surrogate", "\xED\xA0\x80", QString::fromLatin1("\xED\xA0\x80")},
        {"no text", "", QString()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toDisplay(c.bytes), c.shown) << c.what;
        // What shows as UTF-8 reads back byte for byte.
        if (c.shown == QString::fromUtf8(c.bytes.data(), static_cast<qsizetype>(c.bytes.size()))) {
            EXPECT_EQ(fromDisplay(toDisplay(c.bytes)), c.bytes) << c.what;
        }
    }
}

TEST(CheckListModel, RowsShowTheListAndCheckBoxesSetItsMarks) {
    ServerList list;
    CheckListModel model(list, nullptr);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    list.addAndCheckAll({"2.2.2.2:27015 valve", "1.1.1.1:27015 cstrike", "3.3.3.3:1 Kr\xE4mer"});
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_GE(inserted.count(), 1);
    const struct {
        int row;
        QString shown;
    } rows[] = {{0, QStringLiteral("1.1.1.1:27015 cstrike")},
                {1, QStringLiteral("2.2.2.2:27015 valve")},
                {2, QString::fromLatin1("3.3.3.3:1 Kr\xE4mer")}};
    for (const auto& r : rows) {
        const QModelIndex at = model.index(r.row);
        EXPECT_EQ(at.data().toString(), r.shown) << r.row;
        EXPECT_EQ(at.data(Qt::CheckStateRole).toInt(), Qt::Checked) << r.row;
        EXPECT_TRUE(model.flags(at) & Qt::ItemIsUserCheckable);
    }
    // A click on a box is a mark of the list; the list's own changes come back as signals.
    EXPECT_TRUE(model.setData(model.index(1), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_FALSE(list.isChecked(1));
    EXPECT_FALSE(model.setData(model.index(1), QStringLiteral("x"), Qt::DisplayRole));
    changed.clear();
    list.invertMarks();
    EXPECT_GE(changed.count(), 1);
    EXPECT_EQ(model.index(1).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(model.index(0).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_FALSE(model.index(7).data().isValid());
    list.clear();
    EXPECT_EQ(model.rowCount(), 0);
}
