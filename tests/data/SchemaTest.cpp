// Every table the program reads or writes exists in its file with its columns, key first.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "ScriptDb.h"

namespace {

using zl::test::ReadScript;
using zl::test::ScriptDb;

struct TableColumns {
    const char* table;
    const char* columns;  // blank-separated, the key first
};

const TableColumns kMain[] = {
    {"entity",
     "entity_id dimension_id parent_id region_id customer_type_id allow_delete entity_name "
     "entity_first entity_title entity_initials entity_code entity_legalref entity_taxref "
     "entity_username entity_pwd entity_email entity_officetel entity_hometel entity_cell "
     "entity_fax entity_birthmonth entity_birthday entity_building entity_office "
     "entity_department entity_taxrate entity_fullname entity_discount entity_logo "
     "entity_currency entity_currencysymbol entity_f1 entity_f2 entity_f3 entity_f4 entity_f5 "
     "entity_f6 entity_f7 entity_f8 entity_f9 entity_f10"},
    {"address",
     "address_id entity_id address_postal1 address_postal2 address_postal3 address_pcode "
     "address_phys1 address_phys2 address_phys3 address_phys4 address_tel1 address_tel2 "
     "address_tel3 address_cell address_email1 address_email2 address_fax1 address_fax2"},
    {"zlm_doc",
     "zlm_doc_id dimension_id customer_id bus_unit_id doc_status_id inq_status_id "
     "inquiry_type_id contact_type_id contact_person_id doc_template_id cust_type_id "
     "quotation_id order_id invoice_id allow_delete zlm_doc_descr zlm_doc_notes zlm_doc_date "
     "zlm_doc_time zlm_doc_statusdate zlm_doc_ref zlm_doc_file zlm_doc_followup zlm_doc_from "
     "zlm_doc_to zlm_doc_campaigntype zlm_doc_campaignfrom zlm_doc_campaignto "
     "zlm_doc_campaigngenerated zlm_cust_ref"},
    {"doc_item",
     "doc_item_id zlm_doc_id sys_user_id contact_person_id dimension_id bill_rate_id "
     "doc_type_id inq_status_id allow_delete component_id service_id assembly_id "
     "doc_item_billtype doc_item_descr doc_item_rate doc_item_qty doc_item_tax "
     "doc_item_discount doc_item_total doc_item_file doc_item_notes doc_item_date "
     "doc_item_time doc_item_duedate doc_item_duetime doc_item_actualdate doc_item_actualtime "
     "doc_item_expand doc_item_code doc_item_sent doc_item_roe doc_item_costrate "
     "doc_item_notify doc_item_notified"},
    {"billable",
     "billable_id dimension_id parent_id allow_delete billable_descr billable_code "
     "billable_custcode billable_sku billable_barcode billable_units billable_defqty "
     "billable_minqty billable_maxqty billable_expand"},
    {"bill_item",
     "bill_item_id billable_id component_id service_id assembly_id dimension_id allow_delete "
     "bill_item_type bill_item_descr bill_item_code bill_item_expand bill_item_qty"},
    {"bill_rate",
     "bill_rate_id billable_id dimension_id allow_delete bill_rate_from bill_rate_to "
     "bill_rate_selling bill_rate_cost bill_rate_markup bill_rate_maxdisc bill_rate_tax"},
    {"billable_image",
     "billable_image_id billable_id dimension_id allow_delete billable_image_descr "
     "billable_image_file"},
    {"exchange_rate",
     "exchange_rate_id region_id dimension_id allow_delete exchange_rate_from exchange_rate_to "
     "exchange_rate"},
    {"doc_template",
     "doc_template_id dimension_id allow_delete doc_template_name doc_template_descr "
     "doc_template_file"},
    {"customer_type", "customer_type_id dimension_id allow_delete customer_type_descr"},
    {"questionnaire",
     "questionnaire_id dimension_id allow_delete questionnaire_name questionnaire_descr"},
    {"quest_section",
     "quest_section_id questionnaire_id dimension_id allow_delete quest_section_name "
     "quest_section_caption quest_section_dispord quest_section_isconditional "
     "quest_section_descr quest_section_weight"},
    {"question",
     "question_id quest_section_id dimension_id allow_delete question_type question_name "
     "question_prompt question_default question_weight question_dispord question_min "
     "question_max question_row question_col question_promptwidth question_answerwidth "
     "question_promptrow question_promptcol question_answerrow question_answercol"},
    {"choice",
     "choice_id question_id dimension_id allow_delete choice_text choice_value choice_section "
     "choice_score choice_isdefault"},
    {"comp_quest",
     "comp_quest_id questionnaire_id customer_id dimension_id allow_delete comp_quest_date "
     "comp_quest_time"},
    {"answer",
     "answer_id comp_quest_id question_id quest_section_id dimension_id choice_id allow_delete "
     "answer_text answer_completed answer_comptime"},
    {"group_right", "group_right_id user_group_id sys_op_id"},
    {"group_user_link", "group_user_link_id sys_user_id user_group_id"},
    {"id_control", "next_id"},
    {"dimension",
     "dimension_id dimension_table dimension_idfield dimension_parentfield dimension_query "
     "dimension_caption dimension_reportid type_table type_idfield type_orderfield "
     "type_caption type_initialid"},
    {"dim_def", "dim_def_id dimension_id dim_def_field dim_def_value"},
    {"doc_status", "doc_status_id doc_status_descr"},
    {"inq_status", "inq_status_id inq_status_descr"},
    {"inquiry_type", "inquiry_type_id inquiry_type_descr"},
    {"contact_type", "contact_type_id contact_type_descr"},
    {"doc_type", "doc_type_id doc_type_descr"},
    {"sys_op", "sys_op_id sys_op_descr"},
    {"sys_usr",
     "sys_usr_id sys_usr_units sys_usr_build sys_usr_weight sys_usr_targetlbkg "
     "sys_usr_goalend"},
    {"usr_weight", "usr_weight_id sys_usr_id usr_weight_date usr_weight_lbskg usr_weight_ozgm"},
};

const TableColumns kMeta[] = {
    {"zlm_rep",
     "zlm_rep_id zlm_rep_table zlm_rep_parentfield zlm_rep_customerfield zlm_rep_datefield "
     "zlm_rep_htmltitle zlm_rep_mesgfield"},
    {"rep_section",
     "rep_section_id zlm_rep_id rep_section_dispord section_type_id link_section_id "
     "rep_section_tablewidth rep_section_tableborder rep_section_rows rep_section_cols "
     "rep_section_bgcolour rep_section_table rep_section_buwhere rep_section_parentfield "
     "rep_section_sqlhead rep_section_sqlfoot rep_section_ismetatable rep_Section_line1 "
     "rep_Section_line2"},
    {"rep_field",
     "rep_field_id rep_section_id rep_field_row rep_field_col rep_field_dispord "
     "rep_field_width rep_field_align rep_field_textsize rep_field_bold rep_field_field "
     "rep_field_format rep_field_static rep_field_heading synonym_id rep_field_omitzero "
     "rep_field_runtotal rep_field_sum rep_field_isregto"},
    {"graph_rep",
     "graph_rep_id graph_rep_type graph_rep_title graph_rep_table graph_rep_table2 "
     "graph_rep_ymfield"},
    {"synonym", "synonym_id synonym_term synonym_local"},
    {"template_tag", "template_tag_id template_tag_tag table suffix tablefield"},
    {"bom", "bom_id bom_descr bom_code bom_units bom_qty"},
    {"actual_planned", "actual_planned_id planned actual YrMth"},
    {"inc_exp", "inc_exp_id inc_exp_date inc_exp_sumdt inc_exp_sumct inc_exp_nett"},
    {"exppie", "exppie_id"},
};

const TableColumns kLocal[] = {
    {"config",
     "config_dbpath config_docrepository config_firstflag config_doccounter config_curdocdir "
     "config_reminddays config_reportfont config_minussymbol config_emailsender "
     "config_smtpserver config_smtpuser config_smtppwd config_smtpport config_quotemesg "
     "config_ordermesg config_invoicemesg config_entityf1 config_entityf2 config_entityf3 "
     "config_entityf4 config_entityf5"},
    {"audit", "audit_id audit_dt audit_descr audit_extra sys_user_id dimension_id record_id"},
};

std::vector<std::string> Split(const char* text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) {
        words.push_back(w);
    }
    return words;
}

void ExpectTables(const char* script, const TableColumns* begin, const TableColumns* end) {
    ScriptDb db;
    ASSERT_EQ(db.Exec(ReadScript(script)), "") << script;
    for (const TableColumns* t = begin; t != end; ++t) {
        const auto actual = db.TableColumns(t->table);
        const auto expected = Split(t->columns);
        ASSERT_FALSE(actual.empty()) << script << ": no table " << t->table;
        EXPECT_EQ(actual[0], expected[0]) << t->table << ": key not first";
        for (const auto& col : expected) {
            EXPECT_NE(std::find(actual.begin(), actual.end(), col), actual.end())
                << t->table << " lacks " << col;
        }
    }
}

TEST(DataSchema, MainDatabaseTables) {
    ExpectTables("zlm.sql", std::begin(kMain), std::end(kMain));
}

TEST(DataSchema, MetadataDatabaseTables) {
    ExpectTables("zlm_meta.sql", std::begin(kMeta), std::end(kMeta));
}

TEST(DataSchema, LocalDatabaseTables) {
    ExpectTables("zlmlocal.sql", std::begin(kLocal), std::end(kLocal));
}

TEST(DataSchema, WidthsAndTypesTheScreensRelyOn) {
    ScriptDb db;
    ASSERT_EQ(db.Exec(ReadScript("zlm.sql")), "");
    auto type = [&](const std::string& table, const std::string& col) {
        const auto cols = db.TableColumns(table);
        const auto types = db.TableTypes(table);
        const auto it = std::find(cols.begin(), cols.end(), col);
        return it == cols.end() ? std::string("missing") : types[it - cols.begin()];
    };
    EXPECT_EQ(type("entity", "entity_name"), "VARCHAR(250)");
    EXPECT_EQ(type("entity", "entity_title"), "VARCHAR(10)");
    EXPECT_EQ(type("entity", "entity_username"), "VARCHAR(50)");
    EXPECT_EQ(type("entity", "entity_pwd"), "VARCHAR(255)");  // a password hash fits
    EXPECT_EQ(type("entity", "entity_currencysymbol"), "VARCHAR(5)");
    EXPECT_EQ(type("entity", "entity_taxrate"), "DOUBLE");
    EXPECT_EQ(type("entity", "entity_birthmonth"), "INTEGER");
    EXPECT_EQ(type("zlm_doc", "zlm_doc_notes"), "MEMO");
    EXPECT_EQ(type("zlm_doc", "zlm_doc_date"), "DATETIME");
    EXPECT_EQ(type("zlm_doc", "zlm_doc_time"), "VARCHAR(10)");
    EXPECT_EQ(type("doc_item", "doc_item_code"), "VARCHAR(30)");
    EXPECT_EQ(type("doc_item", "doc_item_total"), "DOUBLE");
    EXPECT_EQ(type("doc_item", "doc_item_duetime"), "VARCHAR(10)");
    EXPECT_EQ(type("question", "question_prompt"), "VARCHAR(200)");
    EXPECT_EQ(type("quest_section", "quest_section_name"), "VARCHAR(100)");
    EXPECT_EQ(type("choice", "choice_score"), "DOUBLE");
    EXPECT_EQ(type("comp_quest", "comp_quest_time"), "VARCHAR(10)");
    EXPECT_EQ(type("answer", "answer_comptime"), "VARCHAR(10)");
    EXPECT_EQ(type("id_control", "next_id"), "INTEGER");

    ScriptDb meta;
    ASSERT_EQ(meta.Exec(ReadScript("zlm_meta.sql")), "");
    EXPECT_EQ(meta.TableTypes("synonym"),
              (std::vector<std::string>{"INTEGER", "VARCHAR(150)", "VARCHAR(150)"}));
    EXPECT_EQ(meta.TableTypes("actual_planned"),
              (std::vector<std::string>{"INTEGER", "DOUBLE", "DOUBLE", "VARCHAR(6)"}));
}

}  // namespace
