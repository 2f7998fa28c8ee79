#include "frames/TfrmLookup.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/db/JetDialect.h"
#include "platform/format/Format.h"
#include "platform/ui/Prompter.h"
#include "widgets/DBGrid.h"
#include "widgets/QtPlatform.h"

namespace zl {
namespace {

TfrmLookup::NewCustomerDialog& InstalledNewCustomerDialog() {
    static TfrmLookup::NewCustomerDialog dialog;
    return dialog;
}

}  // namespace

void TfrmLookup::InstallNewCustomerDialog(NewCustomerDialog dialog) {
    InstalledNewCustomerDialog() = std::move(dialog);
}

TfrmLookup::TfrmLookup(QWidget* owner) : FormDialog(owner) {
    setObjectName("frmLookup");
    setWindowTitle("Lookup");
    DBGrid1 = new widgets::DBGrid(this);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->SetStriped(true);
    DBGrid1->SetDataSet(&qLookup);
    btnOK = new QPushButton("&OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setDefault(true);
    btnCancel = new QPushButton("&Cancel", this);
    btnCancel->setObjectName("btnCancel");
    btnNewCust = new QPushButton("&Create new customer", this);
    btnNewCust->setObjectName("btnNewCust");
    btnNewCust->setToolTip("Create a new customer");
    btnNewCust->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnNewCust);
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(buttons);
    resize(593, 424);
    widgets::Centre(*this);

    connect(btnOK, &QPushButton::clicked, this, &QWidget::close);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmLookup::btnCancelClick);
    connect(btnNewCust, &QPushButton::clicked, this, &TfrmLookup::btnNewCustClick);
    // Anywhere in the grid, the empty part below the rows included: the pick stands.
    connect(DBGrid1, &widgets::DBGrid::GridDoubleClicked, this, &QWidget::close);
    qLookup.OnAfterScroll([this] { qLookupAfterScroll(); });
}

int TfrmLookup::lookupExecute(int dimId, bool allowNew) {
    Accepted = true;
    btnNewCust->setEnabled(allowNew);
    Dimension = Dimensions ? Dimensions->Find(dimId) : nullptr;
    if (!Dimension) {
        // Not a kind of record at all: nothing to pick.
        AppendErrorLog("TfrmLookup.lookupExecute",
                       "No kind of record has the id " + std::to_string(dimId), "");
        return -1;
    }
    // A list that cannot be read (reported already) is as empty as one without rows.
    if (!openLookup() || qLookup.IsEmpty()) {
        ui::ShowMessage(widgets::HandleOf(this), "There are no records in the lookup table",
                        "No record", ui::Icon::Information);
        return -1;
    }
    exec();
    qLookup.Close();
    return Accepted ? PickedId : 0;
}

bool TfrmLookup::openLookup() {
    setWindowTitle("Look up " + QString::fromStdString(Dimension->DimString("dimension_caption")));
    if (!DataMod->openQuery(
            DataMod->zlmConn, qLookup, "TfrmLookup.openLookup",
            "select * from " + db::QuoteName(Dimension->DimString("dimension_query"))))
        return false;
    Dimension->SetupGrid(qLookup, *DBGrid1);
    return true;
}

void TfrmLookup::qLookupAfterScroll() {
    if (!Dimension || qLookup.IsEmpty())
        return;
    PickedId = qLookup.FieldByName(Dimension->DimString("dimension_idfield")).AsInteger();
}

std::string TfrmLookup::strValue(const std::string& column) {
    if (!Dimension)
        return "";
    if (!DataMod->openQuery(DataMod->zlmConn, qValue, "TfrmLookup.strValue",
                            "select * from " +
                                db::QuoteName(Dimension->DimString("dimension_table")) + " where " +
                                db::QuoteName(Dimension->DimString("dimension_idfield")) + "=" +
                                std::to_string(PickedId)))
        return "";
    try {
        const std::string value = qValue.FieldByName(column).AsString();
        qValue.Close();
        return value;
    } catch (const std::exception& e) {
        qValue.Close();
        LogError("TfrmLookup.strValue", e.what(), column);
        return "";
    }
}

double TfrmLookup::numValue(const std::string& column) {
    const std::string text = strValue(column);
    double value = 0;
    if (!format::TryStrToFloat(text, value)) {
        LogError("TfrmLookup.numValue", "'" + text + "' is not a valid floating point value",
                 column);
        return 0;
    }
    return value;
}

void TfrmLookup::btnCancelClick() {
    Accepted = false;
    close();
}

void TfrmLookup::btnNewCustClick() {
    NewCustomerDialog& newCustomer = InstalledNewCustomerDialog();
    DimensionTable* customers =
        Dimensions ? Dimensions->Require(1, "TfrmLookup.btnNewCustClick") : nullptr;
    if (!newCustomer || !customers)
        return;
    int created = 0;
    {
        EditModeScope adding(*customers, DimensionTable::Add);
        created = newCustomer(this);
    }
    // A new customer that was cancelled (or could not be made) is no pick.
    PickedId = created;
    Accepted = true;
    close();
}

int ShowLookup(int dimId, QWidget* owner, bool allowNew) {
    TfrmLookup lookup(owner);
    return lookup.lookupExecute(dimId, allowNew);
}

}  // namespace zl
