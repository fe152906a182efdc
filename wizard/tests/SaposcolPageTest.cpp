#include "WizardTestSupport.h"
#include "collect/ServerList.h"
#include "wizard/LogonPropertyPage.h"
#include "wizard/PropertySheet.h"
#include "wizard/SaposcolPropertyPage.h"

namespace wizardtest {
namespace {

using S = CSaposcolPropertyPage;

class SaposcolPageTest : public WizardTest {
  protected:
    void SetUp() override {
        WizardTest::SetUp();
        servers_ = {MakeServerEntry(u"qashost1_QAS_00", u"qashost1", u"00", u"Dialog"),
                    MakeServerEntry(u"qashost1_QAS_01", u"qashost1", u"01", u"Dialog"),
                    MakeServerEntry(u"qashost2_QAS_02", u"qashost2", u"02", u"Dialog")};
    }
    // The page alone in a sheet, as the wizard's last page.
    void Open(std::u16string systemId = u"QAS") {
        sheet_ = std::make_unique<CPropertySheet>(QStringLiteral("Information Wizard"));
        logon_ = std::make_unique<CLogonPropertyPage>();
        logon_->m_strSystemId = std::move(systemId);
        page_ = new CSaposcolPropertyPage;
        page_->SetLogonPage(logon_.get());
        page_->SetServerList(&servers_);
        page_->SetRemoteList(&remotes_);
        sheet_->AddPage(page_);
        ShowActive(sheet_.get());
    }
    void Close() {
        sheet_.reset();
        logon_.reset();
    }
    void TearDown() override {
        Close();
        WizardTest::TearDown();
    }
    CGridControl* Grid() { return page_->Grid(); }
    QComboBox* Cell(int row, int column) { return Grid()->Cell(row, column); }
    void TypeCell(int row, int column, const QString& text) {
        QComboBox* cell = Cell(row, column);
        ASSERT_TRUE(cell->isEditable());
        cell->lineEdit()->setFocus();
        cell->lineEdit()->selectAll();
        QTest::keyClicks(cell->lineEdit(), text);
    }
    void ChooseGateway(int row, const QString& name) {
        QComboBox* cell = Cell(row, S::kGatewayColumn);
        ASSERT_FALSE(cell->isEditable());
        const int index = cell->findText(name);
        ASSERT_GE(index, 0) << name.toStdString();
        cell->setCurrentIndex(index);
    }
    std::string CellText(int row, int column) {
        return Grid()->GetCellText(row, column).toStdString();
    }
    std::string Stored(std::u16string_view section, std::u16string_view key) {
        return platform::ToUtf8(Store().GetString(section, key));
    }

    std::vector<tagSERVERLIST> servers_;
    std::vector<tagREMOTELIST> remotes_;
    std::unique_ptr<CLogonPropertyPage> logon_;
    std::unique_ptr<CPropertySheet> sheet_;
    CSaposcolPropertyPage* page_ = nullptr;
};

TEST_F(SaposcolPageTest, OneRowPerServerWithTheColumnsAndTheFont) {
    Open();
    EXPECT_EQ(Grid()->GetRowCount(), 3);
    EXPECT_EQ(Grid()->GetColumnCount(), 3);
    QTableWidget* table = Grid()->Table();
    EXPECT_EQ(table->horizontalHeaderItem(0)->text(), "RFC Destination");
    EXPECT_EQ(table->horizontalHeaderItem(1)->text(), "System");
    EXPECT_EQ(table->horizontalHeaderItem(2)->text(), "Gateway Instance");
    EXPECT_EQ(table->columnWidth(0), 200);
    EXPECT_EQ(table->columnWidth(1), 56);
    EXPECT_EQ(table->columnWidth(2), 180);
    EXPECT_EQ(table->font().family(), "Courier New");
    EXPECT_EQ(table->font().weight(), QFont::Bold);
    EXPECT_TRUE(Cell(1, 1)->isEditable());
    EXPECT_TRUE(Cell(1, 2)->isEditable());
    EXPECT_FALSE(Cell(1, 3)->isEditable());
    EXPECT_EQ(Grid()->ColumnChoices(3),
              QStringList({"qashost1_QAS_00", "qashost1_QAS_01", "qashost2_QAS_02"}));
    EXPECT_EQ(Grid()->CurrentRow(), 1);
    EXPECT_EQ(Grid()->CurrentColumn(), 1);
    // The last page alone: Back and Finish.
    EXPECT_TRUE(sheet_->FinishButton()->isVisible());
    EXPECT_FALSE(sheet_->NextButton()->isVisible());
}

TEST_F(SaposcolPageTest, FinishWithNoRowsFilledGivesAnEmptyRemoteList) {
    remotes_.push_back(MakeRemoteEntry(u"OLD", u"", u"x"));
    Open();
    Click(sheet_->FinishButton());
    EXPECT_EQ(TakeMessage(), "0 message boxes");
    EXPECT_EQ(sheet_->result(), ID_WIZFINISH);
    EXPECT_TRUE(remotes_.empty());
    EXPECT_EQ(Stored(u"QAS", u"DestinationList"), "");
    EXPECT_EQ(Stored(u"QAS", u"Destination3"), "");
}

TEST_F(SaposcolPageTest, ADestinationWithoutGatewayIsRefusedWithTheCellCurrent) {
    Open();
    TypeCell(2, 1, "  sapccmsr.db1 ");
    Click(sheet_->FinishButton());
    EXPECT_EQ(LastIcon(), wizard::MessageIcon::Exclamation);
    EXPECT_EQ(TakeMessage(),
              "Collector Exception: Please enter gateway instance for destination sapccmsr.db1");
    EXPECT_NE(sheet_->result(), ID_WIZFINISH);
    EXPECT_TRUE(sheet_->isVisible());
    EXPECT_EQ(Grid()->CurrentRow(), 2);
    EXPECT_EQ(Grid()->CurrentColumn(), 3);
    QApplication::processEvents();  // the idle pass gives the grid the focus
    EXPECT_TRUE(Grid()->isAncestorOf(QApplication::focusWidget()));
    EXPECT_FALSE(page_->m_bFocusGrid);
    EXPECT_FALSE(fs::exists(Store().FilePath()));
}

TEST_F(SaposcolPageTest, RowsAreStoredUpperCaseAndOfferedAgainPerSystemId) {
    Open();
    TypeCell(1, 1, "sapccmsr.db1.99");
    TypeCell(1, 2, "db1");
    ChooseGateway(1, "qashost1_QAS_01");
    TypeCell(3, 1, "dbdest");
    ChooseGateway(3, "qashost2_QAS_02");
    Click(sheet_->FinishButton());
    ASSERT_EQ(TakeMessage(), "0 message boxes");
    ASSERT_EQ(remotes_.size(), 2u);
    EXPECT_EQ(RemoteDestination(remotes_[0]), u"SAPCCMSR.DB1.99");
    EXPECT_EQ(RemoteSystem(remotes_[0]), u"DB1");
    EXPECT_EQ(RemoteGateway(remotes_[0]), u"qashost1_QAS_01");
    EXPECT_EQ(RemoteDestination(remotes_[1]), u"DBDEST");
    EXPECT_EQ(RemoteSystem(remotes_[1]), u"");
    EXPECT_EQ(Stored(u"QAS", u"DestinationList"), "SAPCCMSR.DB1.99\nDBDEST\n");
    EXPECT_EQ(Stored(u"QAS", u"SystemList"), "DB1\n\n");
    EXPECT_EQ(Stored(u"QAS", u"Destination1"), "SAPCCMSR.DB1.99");
    EXPECT_EQ(Stored(u"QAS", u"System1"), "DB1");
    EXPECT_EQ(Stored(u"QAS", u"Gateway1"), "qashost1_QAS_01");
    EXPECT_EQ(Stored(u"QAS", u"Destination2"), "");
    EXPECT_EQ(Stored(u"QAS", u"Destination3"), "DBDEST");
    EXPECT_EQ(Stored(u"QAS", u"Gateway3"), "qashost2_QAS_02");

    // The same system shows the rows and offers them as choices.
    Close();
    Open();
    EXPECT_EQ(CellText(1, 1), "SAPCCMSR.DB1.99");
    EXPECT_EQ(CellText(1, 2), "DB1");
    EXPECT_EQ(CellText(1, 3), "qashost1_QAS_01");
    EXPECT_EQ(CellText(2, 1), "");
    EXPECT_EQ(CellText(3, 1), "DBDEST");
    EXPECT_EQ(Grid()->ColumnChoices(1), QStringList({"SAPCCMSR.DB1.99", "DBDEST"}));
    EXPECT_EQ(Grid()->ColumnChoices(2), QStringList({"DB1"}));
    EXPECT_EQ(Cell(2, 1)->count(), 2);

    // Another system has rows of its own.
    Close();
    Open(u"PRD");
    for (int row = 1; row <= 3; ++row) EXPECT_EQ(CellText(row, 1), "") << row;
    EXPECT_TRUE(Grid()->ColumnChoices(1).isEmpty());
}

TEST_F(SaposcolPageTest, AGatewayThatIsNoLongerAServerIsDropped) {
    ASSERT_TRUE(Store().SetStrings(u"QAS", {{u"Destination1", u"DEST1"},
                                            {u"Gateway1", u"qashost9_QAS_09"},
                                            {u"Destination2", u"DEST2"},
                                            {u"Gateway2", u"qashost2_QAS_02"}}));
    Open();
    EXPECT_EQ(CellText(1, 1), "DEST1");
    EXPECT_EQ(CellText(1, 3), "");
    EXPECT_EQ(CellText(2, 3), "qashost2_QAS_02");
    Click(sheet_->FinishButton());
    EXPECT_EQ(TakeMessage(),
              "Collector Exception: Please enter gateway instance for destination DEST1");
}

TEST_F(SaposcolPageTest, WithoutServersTheGridIsEmpty) {
    servers_.clear();
    Open();
    EXPECT_EQ(Grid()->GetRowCount(), 0);
    Click(sheet_->FinishButton());
    EXPECT_EQ(sheet_->result(), ID_WIZFINISH);
}

}  // namespace
}  // namespace wizardtest
