#include <QApplication>
#include <QFocusEvent>
#include <functional>
#include <memory>

#include "core/DataMod.h"
#include "screens/TfrmAssemblyItem.h"
#include "screens/TfrmBillItem.h"
#include "screens/TfrmBillRate.h"
#include "screens/TfrmChoice.h"
#include "screens/TfrmComponent.h"
#include "screens/TfrmCustEdit.h"
#include "screens/TfrmExchange.h"
#include "screens/TfrmForecastItem.h"
#include "screens/TfrmService.h"
#include "tests/support/TestDialogs.h"
#include "widgets/DataControls.h"

namespace zl {
namespace {

using DialogFactory = std::function<std::unique_ptr<QWidget>()>;

template <class D>
DialogFactory Make() {
    return [] { return std::make_unique<D>(); };
}

void SendFocus(QWidget* edit, QEvent::Type type) {
    QFocusEvent event(type, Qt::TabFocusReason);
    QApplication::sendEvent(edit, &event);
}

class NumberFormatsTest : public test::FrameFixture {};

// Every number field with a shown and an edited form: the value 2.5 as it shows while the field
// does not have the focus, while it is edited, and again once the user has left it.
TEST_F(NumberFormatsTest, FieldsShowOneFormAndEditAnother) {
    const struct {
        const char* dialog;
        DialogFactory make;
        const char* edit;
        const char* column;
        const char* shown;
        const char* edited;
    } cases[] = {
        {"exchange", Make<TfrmExchange>(), "DBEdit1", "exchange_rate", "2.50", "2.500"},
        {"bill rate", Make<TfrmBillRate>(), "DBEdit1", "bill_rate_cost", "2.50", "2.500"},
        {"bill rate", Make<TfrmBillRate>(), "DBEdit2", "bill_rate_markup", "2.50", "2.500"},
        {"bill rate", Make<TfrmBillRate>(), "DBEdit3", "bill_rate_selling", "2.50", "2.500"},
        {"assembly line", Make<TfrmAssemblyItem>(), "DBEdit3", "bill_item_qty", "2.50", "2.500"},
        {"service", Make<TfrmService>(), "billable_minqty", "billable_minqty", "2.50", "2.500"},
        {"service", Make<TfrmService>(), "billable_maxqty", "billable_maxqty", "2.50", "2.500"},
        {"service", Make<TfrmService>(), "billable_defqty", "billable_defqty", "2.5", "2.5"},
        {"component", Make<TfrmComponent>(), "billable_minqty", "billable_minqty", "2.50", "2.500"},
        {"component", Make<TfrmComponent>(), "billable_maxqty", "billable_maxqty", "2.50", "2.500"},
        {"component", Make<TfrmComponent>(), "billable_defqty", "billable_defqty", "2.50", "2.50"},
        {"forecast line", Make<TfrmForecastItem>(), "DBEdit3", "doc_item_rate", "2.50", "2.500"},
        {"forecast line", Make<TfrmForecastItem>(), "DBEdit4", "doc_item_qty", "2.50", "2.500"},
        {"forecast line", Make<TfrmForecastItem>(), "DBEdit5", "doc_item_total", "2.50", "2.500"},
        {"document line", Make<TfrmBillItem>(), "DBEdit3", "doc_item_qty", "2.50", "2.500"},
        {"document line", Make<TfrmBillItem>(), "DBEdit8", "doc_item_roe", "2.50", "2.500"},
        {"customer", Make<TfrmCustEdit>(), "entity_discount", "entity_discount", "2.50", "2.500"},
        {"customer", Make<TfrmCustEdit>(), "entity_taxrate", "entity_taxrate", "2.500", "2.500"},
        {"choice", Make<TfrmChoice>(), "choice_score", "choice_score", "2.50", "2.500"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.dialog) + " " + c.column);
        std::unique_ptr<QWidget> dialog = c.make();
        auto* edit = dialog->findChild<widgets::DBEdit*>(c.edit);
        ASSERT_TRUE(edit);
        // The dialog's own exit handlers work on its record, which is not open here.
        edit->removeEventFilter(dialog.get());
        db::Query q(&dm->zlmConn);
        q.SetSQL(std::string("select 2.5 as ") + c.column);
        q.Open();
        widgets::DataSource source(&q);
        edit->SetDataSource(&source);
        EXPECT_EQ(edit->text(), c.shown);
        SendFocus(edit, QEvent::FocusIn);
        EXPECT_EQ(edit->text(), c.edited);
        SendFocus(edit, QEvent::FocusOut);
        EXPECT_EQ(edit->text(), c.shown);
    }
    EXPECT_TRUE(Texts().empty());
}

}  // namespace
}  // namespace zl
