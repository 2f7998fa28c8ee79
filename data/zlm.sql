-- Zelmar main database (db/zlm.dat).
--
-- Business tables, the key counter, the entity metadata that drives the list and edit
-- screens, rights, lookups and the saved queries (views) the program reads.
-- Conventions used throughout:
--   * the key of a table is its first column, <table>_id INTEGER PRIMARY KEY;
--   * all keys of all three databases come from id_control.next_id, so no two rows of
--     any table share a key; delivered rows keep their keys below 1000;
--   * text columns compare without regard to letter case (COLLATE NOCASE);
--   * dates are stored as text 'YYYY-MM-DD HH:MM:SS', times as text 'hh:mm' or 'hh:mm:ss';
--   * no foreign keys, no cascades: deleting a row leaves its children in place.

PRAGMA foreign_keys = OFF;

BEGIN TRANSACTION;

-- ---------------------------------------------------------------------------------------
-- Key counter: one row, no key column. next_id is the last key issued.
-- ---------------------------------------------------------------------------------------
CREATE TABLE id_control (
    next_id INTEGER
);

-- ---------------------------------------------------------------------------------------
-- Entities: customers (1), user groups (3), system users (4), business units (5),
-- regions (16) and contact persons (17, parent_id = the customer).
-- ---------------------------------------------------------------------------------------
CREATE TABLE entity (
    entity_id INTEGER PRIMARY KEY,
    dimension_id INTEGER,
    parent_id INTEGER,
    region_id INTEGER,
    customer_type_id INTEGER,
    allow_delete INTEGER,
    entity_name VARCHAR(250) COLLATE NOCASE,
    entity_first VARCHAR(150) COLLATE NOCASE,
    entity_title VARCHAR(10) COLLATE NOCASE,
    entity_initials VARCHAR(50) COLLATE NOCASE,
    entity_code VARCHAR(50) COLLATE NOCASE,
    entity_legalref VARCHAR(50) COLLATE NOCASE,
    entity_taxref VARCHAR(50) COLLATE NOCASE,
    entity_username VARCHAR(50) COLLATE NOCASE,
    entity_pwd VARCHAR(255) COLLATE NOCASE,
    entity_email VARCHAR(150) COLLATE NOCASE,
    entity_officetel VARCHAR(50) COLLATE NOCASE,
    entity_hometel VARCHAR(50) COLLATE NOCASE,
    entity_cell VARCHAR(50) COLLATE NOCASE,
    entity_fax VARCHAR(50) COLLATE NOCASE,
    entity_birthmonth INTEGER,
    entity_birthday INTEGER,
    entity_building VARCHAR(150) COLLATE NOCASE,
    entity_office VARCHAR(50) COLLATE NOCASE,
    entity_department VARCHAR(150) COLLATE NOCASE,
    entity_taxrate DOUBLE,
    entity_fullname VARCHAR(150) COLLATE NOCASE,
    entity_discount DOUBLE,
    entity_logo VARCHAR(250) COLLATE NOCASE,
    entity_currency VARCHAR(20) COLLATE NOCASE,
    entity_currencysymbol VARCHAR(5) COLLATE NOCASE,
    entity_f1 VARCHAR(150) COLLATE NOCASE,
    entity_f2 VARCHAR(150) COLLATE NOCASE,
    entity_f3 VARCHAR(150) COLLATE NOCASE,
    entity_f4 VARCHAR(150) COLLATE NOCASE,
    entity_f5 VARCHAR(150) COLLATE NOCASE,
    entity_f6 VARCHAR(150) COLLATE NOCASE,
    entity_f7 VARCHAR(150) COLLATE NOCASE,
    entity_f8 VARCHAR(150) COLLATE NOCASE,
    entity_f9 VARCHAR(150) COLLATE NOCASE,
    entity_f10 VARCHAR(150) COLLATE NOCASE
);

-- Postal and physical address of a customer or business unit (entity_id), one per entity.
CREATE TABLE address (
    address_id INTEGER PRIMARY KEY,
    entity_id INTEGER,
    address_postal1 VARCHAR(150) COLLATE NOCASE,
    address_postal2 VARCHAR(150) COLLATE NOCASE,
    address_postal3 VARCHAR(150) COLLATE NOCASE,
    address_pcode VARCHAR(20) COLLATE NOCASE,
    address_phys1 VARCHAR(150) COLLATE NOCASE,
    address_phys2 VARCHAR(150) COLLATE NOCASE,
    address_phys3 VARCHAR(150) COLLATE NOCASE,
    address_phys4 VARCHAR(150) COLLATE NOCASE,
    address_tel1 VARCHAR(50) COLLATE NOCASE,
    address_tel2 VARCHAR(50) COLLATE NOCASE,
    address_tel3 VARCHAR(50) COLLATE NOCASE,
    address_cell VARCHAR(50) COLLATE NOCASE,
    address_email1 VARCHAR(150) COLLATE NOCASE,
    address_email2 VARCHAR(150) COLLATE NOCASE,
    address_fax1 VARCHAR(50) COLLATE NOCASE,
    address_fax2 VARCHAR(50) COLLATE NOCASE
);

-- ---------------------------------------------------------------------------------------
-- Documents: quotations (6), orders (7), invoices (8), contact events (9), sales
-- forecasts (15), inquiry processes (18) and campaigns (28).
-- ---------------------------------------------------------------------------------------
CREATE TABLE zlm_doc (
    zlm_doc_id INTEGER PRIMARY KEY,
    dimension_id INTEGER,
    customer_id INTEGER,
    bus_unit_id INTEGER,
    doc_status_id INTEGER,
    inq_status_id INTEGER,
    inquiry_type_id INTEGER,
    contact_type_id INTEGER,
    contact_person_id INTEGER,
    doc_template_id INTEGER,
    cust_type_id INTEGER,
    quotation_id INTEGER,
    order_id INTEGER,
    invoice_id INTEGER,
    allow_delete INTEGER,
    zlm_doc_descr VARCHAR(250) COLLATE NOCASE,
    zlm_doc_notes MEMO COLLATE NOCASE,
    zlm_doc_date DATETIME,
    zlm_doc_time VARCHAR(10) COLLATE NOCASE,
    zlm_doc_statusdate DATETIME,
    zlm_doc_ref VARCHAR(50) COLLATE NOCASE,
    zlm_doc_file VARCHAR(250) COLLATE NOCASE,
    zlm_doc_followup DATETIME,
    zlm_doc_from DATETIME,
    zlm_doc_to DATETIME,
    zlm_doc_campaigntype VARCHAR(50) COLLATE NOCASE,
    zlm_doc_campaignfrom VARCHAR(50) COLLATE NOCASE,
    zlm_doc_campaignto VARCHAR(50) COLLATE NOCASE,
    zlm_doc_campaigngenerated INTEGER,
    zlm_cust_ref VARCHAR(50) COLLATE NOCASE
);

-- Lines of a document: priced lines and forecast lines (24), inquiry steps (22),
-- contact items (19). zlm_doc_id is the document.
CREATE TABLE doc_item (
    doc_item_id INTEGER PRIMARY KEY,
    zlm_doc_id INTEGER,
    sys_user_id INTEGER,
    contact_person_id INTEGER,
    dimension_id INTEGER,
    bill_rate_id INTEGER,
    doc_type_id INTEGER,
    inq_status_id INTEGER,
    allow_delete INTEGER,
    component_id INTEGER,
    service_id INTEGER,
    assembly_id INTEGER,
    doc_item_billtype INTEGER,
    doc_item_descr VARCHAR(150) COLLATE NOCASE,
    doc_item_rate DOUBLE,
    doc_item_qty DOUBLE,
    doc_item_tax DOUBLE,
    doc_item_discount DOUBLE,
    doc_item_total DOUBLE,
    doc_item_file VARCHAR(250) COLLATE NOCASE,
    doc_item_notes MEMO COLLATE NOCASE,
    doc_item_date DATETIME,
    doc_item_time VARCHAR(10) COLLATE NOCASE,
    doc_item_duedate DATETIME,
    doc_item_duetime VARCHAR(10) COLLATE NOCASE,
    doc_item_actualdate DATETIME,
    doc_item_actualtime VARCHAR(10) COLLATE NOCASE,
    doc_item_expand INTEGER,
    doc_item_code VARCHAR(30) COLLATE NOCASE,
    doc_item_sent INTEGER,
    doc_item_roe DOUBLE,
    doc_item_costrate DOUBLE,
    doc_item_notify INTEGER,
    doc_item_notified INTEGER
);

-- ---------------------------------------------------------------------------------------
-- Catalogue: services (14), components (10) and assemblies (11); assembly lines (25),
-- dated rates (21) and images (29).
-- ---------------------------------------------------------------------------------------
CREATE TABLE billable (
    billable_id INTEGER PRIMARY KEY,
    dimension_id INTEGER,
    parent_id INTEGER,
    allow_delete INTEGER,
    billable_descr VARCHAR(150) COLLATE NOCASE,
    billable_code VARCHAR(50) COLLATE NOCASE,
    billable_custcode VARCHAR(50) COLLATE NOCASE,
    billable_sku VARCHAR(50) COLLATE NOCASE,
    billable_barcode VARCHAR(50) COLLATE NOCASE,
    billable_units VARCHAR(50) COLLATE NOCASE,
    billable_defqty DOUBLE,
    billable_minqty DOUBLE,
    billable_maxqty DOUBLE,
    billable_expand INTEGER
);

-- A line of an assembly (billable_id); exactly one of component_id, service_id and
-- assembly_id is above 0.
CREATE TABLE bill_item (
    bill_item_id INTEGER PRIMARY KEY,
    billable_id INTEGER,
    component_id INTEGER,
    service_id INTEGER,
    assembly_id INTEGER,
    dimension_id INTEGER,
    allow_delete INTEGER,
    bill_item_type INTEGER,
    bill_item_descr VARCHAR(150) COLLATE NOCASE,
    bill_item_code VARCHAR(30) COLLATE NOCASE,
    bill_item_expand INTEGER,
    bill_item_qty DOUBLE
);

CREATE TABLE bill_rate (
    bill_rate_id INTEGER PRIMARY KEY,
    billable_id INTEGER,
    dimension_id INTEGER,
    allow_delete INTEGER,
    bill_rate_from DATETIME,
    bill_rate_to DATETIME,
    bill_rate_selling DOUBLE,
    bill_rate_cost DOUBLE,
    bill_rate_markup DOUBLE,
    bill_rate_maxdisc DOUBLE,
    bill_rate_tax DOUBLE
);

CREATE TABLE billable_image (
    billable_image_id INTEGER PRIMARY KEY,
    billable_id INTEGER,
    dimension_id INTEGER,
    allow_delete INTEGER,
    billable_image_descr VARCHAR(150) COLLATE NOCASE,
    billable_image_file VARCHAR(250) COLLATE NOCASE
);

-- Dated exchange rates of a region (region_id).
CREATE TABLE exchange_rate (
    exchange_rate_id INTEGER PRIMARY KEY,
    region_id INTEGER,
    dimension_id INTEGER,
    allow_delete INTEGER,
    exchange_rate_from DATETIME,
    exchange_rate_to DATETIME,
    exchange_rate DOUBLE
);

-- RTF letter templates (26) merged with customer data.
CREATE TABLE doc_template (
    doc_template_id INTEGER PRIMARY KEY,
    dimension_id INTEGER,
    allow_delete INTEGER,
    doc_template_name VARCHAR(150) COLLATE NOCASE,
    doc_template_descr MEMO COLLATE NOCASE,
    doc_template_file VARCHAR(250) COLLATE NOCASE
);

CREATE TABLE customer_type (
    customer_type_id INTEGER PRIMARY KEY,
    dimension_id INTEGER,
    allow_delete INTEGER,
    customer_type_descr VARCHAR(50) COLLATE NOCASE
);

-- ---------------------------------------------------------------------------------------
-- Questionnaires (33) with sections (34), questions (35) and choices (36); a completed
-- questionnaire (37) of a customer holds one answer (38) per question.
-- ---------------------------------------------------------------------------------------
CREATE TABLE questionnaire (
    questionnaire_id INTEGER PRIMARY KEY,
    dimension_id INTEGER,
    allow_delete INTEGER,
    questionnaire_name VARCHAR(150) COLLATE NOCASE,
    questionnaire_descr MEMO COLLATE NOCASE
);

CREATE TABLE quest_section (
    quest_section_id INTEGER PRIMARY KEY,
    questionnaire_id INTEGER,
    dimension_id INTEGER,
    allow_delete INTEGER,
    quest_section_name VARCHAR(100) COLLATE NOCASE,
    quest_section_caption VARCHAR(100) COLLATE NOCASE,
    quest_section_dispord INTEGER,
    quest_section_isconditional INTEGER,
    quest_section_descr MEMO COLLATE NOCASE,
    quest_section_weight DOUBLE
);

-- question_type: 0 free text, 1 numeric, 2 date, 3 multiple choice.
CREATE TABLE question (
    question_id INTEGER PRIMARY KEY,
    quest_section_id INTEGER,
    dimension_id INTEGER,
    allow_delete INTEGER,
    question_type INTEGER,
    question_name VARCHAR(150) COLLATE NOCASE,
    question_prompt VARCHAR(200) COLLATE NOCASE,
    question_default VARCHAR(250) COLLATE NOCASE,
    question_weight DOUBLE,
    question_dispord INTEGER,
    question_min DOUBLE,
    question_max DOUBLE,
    question_row INTEGER,
    question_col INTEGER,
    question_promptwidth INTEGER,
    question_answerwidth INTEGER,
    question_promptrow INTEGER,
    question_promptcol INTEGER,
    question_answerrow INTEGER,
    question_answercol INTEGER
);

CREATE TABLE choice (
    choice_id INTEGER PRIMARY KEY,
    question_id INTEGER,
    dimension_id INTEGER,
    allow_delete INTEGER,
    choice_text VARCHAR(150) COLLATE NOCASE,
    choice_value VARCHAR(100) COLLATE NOCASE,
    choice_section INTEGER,
    choice_score DOUBLE,
    choice_isdefault INTEGER
);

CREATE TABLE comp_quest (
    comp_quest_id INTEGER PRIMARY KEY,
    questionnaire_id INTEGER,
    customer_id INTEGER,
    dimension_id INTEGER,
    allow_delete INTEGER,
    comp_quest_date DATETIME,
    comp_quest_time VARCHAR(10) COLLATE NOCASE
);

CREATE TABLE answer (
    answer_id INTEGER PRIMARY KEY,
    comp_quest_id INTEGER,
    question_id INTEGER,
    quest_section_id INTEGER,
    dimension_id INTEGER,
    choice_id INTEGER,
    allow_delete INTEGER,
    answer_text VARCHAR(250) COLLATE NOCASE,
    answer_completed INTEGER,
    answer_comptime VARCHAR(10) COLLATE NOCASE
);

-- ---------------------------------------------------------------------------------------
-- Rights: the operations (sys_op) a user group holds, and the groups a user belongs to.
-- ---------------------------------------------------------------------------------------
CREATE TABLE group_right (
    group_right_id INTEGER PRIMARY KEY,
    user_group_id INTEGER,
    sys_op_id INTEGER
);

CREATE TABLE group_user_link (
    group_user_link_id INTEGER PRIMARY KEY,
    sys_user_id INTEGER,
    user_group_id INTEGER
);

-- ---------------------------------------------------------------------------------------
-- Entity metadata: one dimension row per entity kind, and the values a new record of
-- that kind starts with (dim_def; the value "time" means the current time).
-- ---------------------------------------------------------------------------------------
CREATE TABLE dimension (
    dimension_id INTEGER PRIMARY KEY,
    dimension_table VARCHAR(50) COLLATE NOCASE,
    dimension_idfield VARCHAR(50) COLLATE NOCASE,
    dimension_parentfield VARCHAR(50) COLLATE NOCASE,
    dimension_query VARCHAR(50) COLLATE NOCASE,
    dimension_caption VARCHAR(50) COLLATE NOCASE,
    dimension_reportid INTEGER,
    type_table VARCHAR(50) COLLATE NOCASE,
    type_idfield VARCHAR(50) COLLATE NOCASE,
    type_orderfield VARCHAR(50) COLLATE NOCASE,
    type_caption VARCHAR(50) COLLATE NOCASE,
    type_initialid INTEGER
);

CREATE TABLE dim_def (
    dim_def_id INTEGER PRIMARY KEY,
    dimension_id INTEGER,
    dim_def_field VARCHAR(50) COLLATE NOCASE,
    dim_def_value VARCHAR(250) COLLATE NOCASE
);

-- ---------------------------------------------------------------------------------------
-- Lookups of the screens: key and description.
-- ---------------------------------------------------------------------------------------
CREATE TABLE doc_status (
    doc_status_id INTEGER PRIMARY KEY,
    doc_status_descr VARCHAR(50) COLLATE NOCASE
);

CREATE TABLE inq_status (
    inq_status_id INTEGER PRIMARY KEY,
    inq_status_descr VARCHAR(50) COLLATE NOCASE
);

CREATE TABLE inquiry_type (
    inquiry_type_id INTEGER PRIMARY KEY,
    inquiry_type_descr VARCHAR(50) COLLATE NOCASE
);

CREATE TABLE contact_type (
    contact_type_id INTEGER PRIMARY KEY,
    contact_type_descr VARCHAR(50) COLLATE NOCASE
);

CREATE TABLE doc_type (
    doc_type_id INTEGER PRIMARY KEY,
    doc_type_descr VARCHAR(50) COLLATE NOCASE
);

-- Operations a user may be granted: 1 change settings (and every other operation),
-- 2 delete documents in the inquiry processes window, 3 delete records through the
-- list screens and view reports.
CREATE TABLE sys_op (
    sys_op_id INTEGER PRIMARY KEY,
    sys_op_descr VARCHAR(50) COLLATE NOCASE
);

-- ---------------------------------------------------------------------------------------
-- Diet users and their records, read by the nutrition, exercise and weight charts.
-- sys_usr_units: 1 metric (kJ, kg, g), otherwise imperial (calories, lb, oz).
-- sys_usr_build: 0 light, 1 medium, 2 heavy.
-- ---------------------------------------------------------------------------------------
CREATE TABLE sys_usr (
    sys_usr_id INTEGER PRIMARY KEY,
    sys_usr_name VARCHAR(150) COLLATE NOCASE,
    sys_usr_units INTEGER,
    sys_usr_build INTEGER,
    sys_usr_height DOUBLE,
    sys_usr_weight DOUBLE,
    sys_usr_targetlbkg DOUBLE,
    sys_usr_goalend DATETIME
);

-- One weighing: whole pounds or kilograms plus ounces or grams, in the user's units.
CREATE TABLE usr_weight (
    usr_weight_id INTEGER PRIMARY KEY,
    sys_usr_id INTEGER,
    usr_weight_date DATETIME,
    usr_weight_lbskg DOUBLE,
    usr_weight_ozgm DOUBLE
);

-- One food intake: nutrients in grams, energy in kilojoules.
CREATE TABLE food_intake (
    food_intake_id INTEGER PRIMARY KEY,
    sys_usr_id INTEGER,
    food_intake_date DATETIME,
    food_intake_descr VARCHAR(150) COLLATE NOCASE,
    food_intake_carbs DOUBLE,
    food_intake_fat DOUBLE,
    food_intake_proteins DOUBLE,
    food_intake_saturated DOUBLE,
    food_intake_kj DOUBLE
);

-- One exercise session: energy used in kilojoules by a light, medium and heavy person.
CREATE TABLE usr_exercise (
    usr_exercise_id INTEGER PRIMARY KEY,
    sys_usr_id INTEGER,
    usr_exercise_dt DATETIME,
    usr_exercise_descr VARCHAR(150) COLLATE NOCASE,
    usr_exercise_lightkj DOUBLE,
    usr_exercise_mediumkj DOUBLE,
    usr_exercise_heavykj DOUBLE
);

-- ---------------------------------------------------------------------------------------
-- Indexes on the columns by which lists, lookups and totals find a record's children.
-- ---------------------------------------------------------------------------------------
CREATE INDEX entity_by_dimension ON entity (dimension_id);
CREATE INDEX entity_by_parent ON entity (parent_id);
CREATE INDEX address_by_entity ON address (entity_id);
CREATE INDEX zlm_doc_by_dimension ON zlm_doc (dimension_id);
CREATE INDEX zlm_doc_by_customer ON zlm_doc (customer_id);
CREATE INDEX doc_item_by_doc ON doc_item (zlm_doc_id);
CREATE INDEX bill_item_by_billable ON bill_item (billable_id);
CREATE INDEX bill_rate_by_billable ON bill_rate (billable_id);
CREATE INDEX billable_image_by_billable ON billable_image (billable_id);
CREATE INDEX exchange_rate_by_region ON exchange_rate (region_id);
CREATE INDEX dim_def_by_dimension ON dim_def (dimension_id);
CREATE INDEX group_right_by_group ON group_right (user_group_id);
CREATE INDEX group_user_link_by_user ON group_user_link (sys_user_id);
CREATE INDEX quest_section_by_questionnaire ON quest_section (questionnaire_id);
CREATE INDEX question_by_section ON question (quest_section_id);
CREATE INDEX choice_by_question ON choice (question_id);
CREATE INDEX comp_quest_by_customer ON comp_quest (customer_id);
CREATE INDEX answer_by_comp_quest ON answer (comp_quest_id);
-- The customers in the order of their list: its first screen is read without sorting them all.
-- The expression is the full name of the list's view; the program adds the same index to an
-- older main database at start-up: change both together.
CREATE INDEX entity_by_full_name ON entity (dimension_id,
    (COALESCE(entity_name, '') || ' ' || COALESCE(entity_first, '') || ' ' || COALESCE(entity_title, '')));

-- =======================================================================================
-- Rows
-- =======================================================================================

-- Every delivered key lies below 1000; new rows start above it.
INSERT INTO id_control (next_id) VALUES (1000);

-- Lookups.
INSERT INTO doc_status (doc_status_id, doc_status_descr) VALUES
    (1, 'Draft'),
    (2, 'Sent'),
    (3, 'Accepted'),
    (4, 'Rejected'),
    (5, 'Paid'),
    (6, 'Closed');

-- 1 is the status of a new follow-up inquiry.
INSERT INTO inq_status (inq_status_id, inq_status_descr) VALUES
    (1, 'New follow-up'),
    (2, 'In progress'),
    (3, 'Waiting for customer'),
    (4, 'Completed'),
    (5, 'Cancelled');

INSERT INTO inquiry_type (inquiry_type_id, inquiry_type_descr) VALUES
    (1, 'Document follow-up'),
    (2, 'Telephone inquiry'),
    (3, 'E-mail inquiry'),
    (4, 'Visit'),
    (5, 'Web site inquiry');

-- 1 is the contact event of a report sent by e-mail.
INSERT INTO contact_type (contact_type_id, contact_type_descr) VALUES
    (1, 'Report e-mailed'),
    (2, 'Telephone call'),
    (3, 'Meeting'),
    (4, 'Letter'),
    (5, 'E-mail'),
    (6, 'Fax');

-- 8 is the line that holds the file of a report sent by e-mail.
INSERT INTO doc_type (doc_type_id, doc_type_descr) VALUES
    (1, 'Letter'),
    (2, 'E-mail'),
    (3, 'Fax'),
    (4, 'Spreadsheet'),
    (5, 'Drawing'),
    (6, 'Photograph'),
    (7, 'Other document'),
    (8, 'Report file');

INSERT INTO sys_op (sys_op_id, sys_op_descr) VALUES
    (1, 'Change settings (all rights)'),
    (2, 'Delete inquiry documents'),
    (3, 'Delete records and view reports');

-- The first user group, holding every right.
INSERT INTO entity (entity_id, dimension_id, parent_id, region_id, customer_type_id,
                    allow_delete, entity_name, entity_first, entity_title, entity_fullname,
                    entity_taxrate, entity_discount)
VALUES (1, 3, 0, 0, 0, 1, 'Administrators', '', '', 'Administrators  ', 0.0, 0.0);

INSERT INTO group_right (group_right_id, user_group_id, sys_op_id) VALUES
    (7, 1, 1),
    (8, 1, 2),
    (9, 1, 3);

-- The first system user, member of Administrators. Log in as System / velkran. zelmar-setup
-- replaces the password by its hash when it makes the file.
INSERT INTO entity (entity_id, dimension_id, parent_id, region_id, customer_type_id,
                    allow_delete, entity_name, entity_first, entity_title, entity_fullname,
                    entity_username, entity_pwd, entity_taxrate, entity_discount)
VALUES (2, 4, 0, 0, 0, 1, 'System', '', '', 'System  ', 'System', 'velkran', 0.0, 0.0);

INSERT INTO group_user_link (group_user_link_id, sys_user_id, user_group_id)
VALUES (10, 2, 1);

-- The first business unit and its address; rename it in the my-organisation window.
INSERT INTO entity (entity_id, dimension_id, parent_id, region_id, customer_type_id,
                    allow_delete, entity_name, entity_first, entity_title, entity_fullname,
                    entity_code, entity_email, entity_taxrate, entity_discount,
                    entity_currency, entity_currencysymbol)
VALUES (3, 5, 0, 0, 0, 1, 'My business', '', '', 'My business  ', 'BU1', '', 0.0, 0.0,
        '', '');

INSERT INTO address (address_id, entity_id, address_postal1, address_postal2,
                     address_postal3, address_pcode, address_phys1, address_phys2,
                     address_phys3, address_phys4, address_tel1, address_tel2, address_tel3,
                     address_cell, address_email1, address_email2, address_fax1,
                     address_fax2)
VALUES (6, 3, 'Postal address', '', '', '', 'Street address', '', '', '', '', '', '', '',
        '', '', '', '');

-- Customer 5 stands in for "no customer": an inquiry filed without a customer belongs
-- to it. It cannot be deleted through the list screens.
INSERT INTO entity (entity_id, dimension_id, parent_id, region_id, customer_type_id,
                    allow_delete, entity_name, entity_first, entity_title, entity_fullname,
                    entity_taxrate, entity_discount)
VALUES (5, 1, 0, 0, 0, 1, '[no customer]', '', '', '[no customer]  ', 0.0, 0.0);

-- The sample letter; the first start points doc_template_file at the installed copy.
INSERT INTO doc_template (doc_template_id, dimension_id, allow_delete, doc_template_name,
                          doc_template_descr, doc_template_file)
VALUES (11, 26, 0, 'sampletemplate.rtf', 'Sample business letter to a customer',
        'sampletemplate.rtf');

-- Entity kinds. dimension_query is the view a list shows: key first, allow_delete, the
-- parent column and the type filter column, then the display columns.
INSERT INTO dimension (dimension_id, dimension_table, dimension_idfield,
                       dimension_parentfield, dimension_query, dimension_caption,
                       dimension_reportid, type_table, type_idfield, type_orderfield,
                       type_caption, type_initialid) VALUES
    (1, 'entity', 'entity_id', '', 'lstCustomer', 'customer', 0, '', '', '', '', 0),
    (3, 'entity', 'entity_id', '', 'brwUserGroup', 'user group', 0, '', '', '', '', 0),
    (4, 'entity', 'entity_id', '', 'brwSysUser', 'system user', 0, '', '', '', '', 0),
    (5, 'entity', 'entity_id', '', 'lstBusUnit', 'business unit', 0, '', '', '', '', 0),
    (6, 'zlm_doc', 'zlm_doc_id', 'customer_id', 'lstQuotation', 'quotation', 1,
        'doc_status', 'doc_status_id', 'doc_status_descr', 'Status', 0),
    (7, 'zlm_doc', 'zlm_doc_id', 'customer_id', 'lstOrder', 'order', 2,
        'doc_status', 'doc_status_id', 'doc_status_descr', 'Status', 0),
    (8, 'zlm_doc', 'zlm_doc_id', 'customer_id', 'lstInvoice', 'invoice', 3,
        'doc_status', 'doc_status_id', 'doc_status_descr', 'Status', 0),
    (9, 'zlm_doc', 'zlm_doc_id', 'customer_id', 'lstContactEvent', 'contact event', 0,
        'contact_type', 'contact_type_id', 'contact_type_descr', 'Event type', 0),
    (10, 'billable', 'billable_id', '', 'lstComponent', 'component', 0, '', '', '', '', 0),
    (11, 'billable', 'billable_id', '', 'lstAssembly', 'assembly', 0, '', '', '', '', 0),
    (13, 'customer_type', 'customer_type_id', '', 'lstCustomerType', 'customer type', 0,
        '', '', '', '', 0),
    (14, 'billable', 'billable_id', '', 'lstService', 'service', 0, '', '', '', '', 0),
    (15, 'zlm_doc', 'zlm_doc_id', '', 'lstForecast', 'sales forecast', 0, '', '', '', '', 0),
    (16, 'entity', 'entity_id', '', 'brwRegion', 'region', 0, '', '', '', '', 0),
    (17, 'entity', 'entity_id', 'parent_id', 'brwContactPerson', 'contact person', 0,
        '', '', '', '', 0),
    (18, 'zlm_doc', 'zlm_doc_id', '', 'lstInquiry', 'inquiry process', 0,
        'inq_status', 'inq_status_id', 'inq_status_descr', 'Status', 0),
    (19, 'doc_item', 'doc_item_id', 'zlm_doc_id', 'lstContactItem', 'contact item', 0,
        '', '', '', '', 0),
    (21, 'bill_rate', 'bill_rate_id', 'billable_id', 'lstBillRate', 'bill rate', 0,
        '', '', '', '', 0),
    (22, 'doc_item', 'doc_item_id', 'zlm_doc_id', 'brwInqItem', 'inquiry step', 0,
        '', '', '', '', 0),
    (24, 'doc_item', 'doc_item_id', 'zlm_doc_id', 'lstDocItem', 'document line', 0,
        '', '', '', '', 0),
    (25, 'bill_item', 'bill_item_id', 'billable_id', 'lstBillItem', 'assembly line', 0,
        '', '', '', '', 0),
    (26, 'doc_template', 'doc_template_id', '', 'lstDocTemplate', 'document template', 0,
        '', '', '', '', 0),
    (27, 'exchange_rate', 'exchange_rate_id', 'region_id', 'lstExchangeRate',
        'exchange rate', 0, '', '', '', '', 0),
    (28, 'zlm_doc', 'zlm_doc_id', '', 'lstCampaign', 'campaign', 0, '', '', '', '', 0),
    (29, 'billable_image', 'billable_image_id', 'billable_id', 'lstBillableImage',
        'billable image', 0, '', '', '', '', 0),
    (33, 'questionnaire', 'questionnaire_id', '', 'lstQuestionnaire', 'questionnaire', 0,
        '', '', '', '', 0),
    (34, 'quest_section', 'quest_section_id', 'questionnaire_id', 'lstQuestSection',
        'questionnaire section', 0, '', '', '', '', 0),
    (35, 'question', 'question_id', 'quest_section_id', 'lstQuestion', 'question', 0,
        '', '', '', '', 0),
    (36, 'choice', 'choice_id', 'question_id', 'lstChoice', 'choice', 0, '', '', '', '', 0),
    (37, 'comp_quest', 'comp_quest_id', 'customer_id', 'lstCompQuest',
        'completed questionnaire', 0, '', '', '', '', 0),
    (38, 'answer', 'answer_id', 'comp_quest_id', 'lstAnswer', 'answer', 0, '', '', '', '', 0);

-- Starting values of new records.
INSERT INTO dim_def (dim_def_id, dimension_id, dim_def_field, dim_def_value) VALUES
    -- customers and business units: no tax or discount until one is entered
    (101, 1, 'entity_taxrate', '0'),
    (102, 1, 'entity_discount', '0'),
    (103, 5, 'entity_taxrate', '0'),
    (104, 5, 'entity_discount', '0'),
    -- every kind of entity: no currency symbol until one is entered (the text default of a
    -- new row would not fit the column)
    (105, 1, 'entity_currencysymbol', ''),
    (106, 3, 'entity_currencysymbol', ''),
    (107, 4, 'entity_currencysymbol', ''),
    (108, 5, 'entity_currencysymbol', ''),
    (109, 16, 'entity_currencysymbol', ''),
    (110, 17, 'entity_currencysymbol', ''),
    -- quotations, orders and invoices: created now, as drafts
    (111, 6, 'zlm_doc_time', 'time'),
    (112, 6, 'doc_status_id', '1'),
    (113, 7, 'zlm_doc_time', 'time'),
    (114, 7, 'doc_status_id', '1'),
    (115, 8, 'zlm_doc_time', 'time'),
    (116, 8, 'doc_status_id', '1'),
    -- contact events: created now, no attached file yet
    (121, 9, 'zlm_doc_time', 'time'),
    (122, 9, 'zlm_doc_file', '[none]'),
    -- forecasts, inquiry processes and campaigns
    (131, 15, 'zlm_doc_time', 'time'),
    (132, 18, 'zlm_doc_time', 'time'),
    (133, 18, 'inq_status_id', '1'),
    (134, 28, 'zlm_doc_time', 'time'),
    (135, 28, 'zlm_doc_campaigngenerated', '0'),
    -- contact items and inquiry steps
    (141, 19, 'doc_item_time', 'time'),
    (142, 22, 'doc_item_time', 'time'),
    (143, 22, 'inq_status_id', '1'),
    -- document and forecast lines: nothing priced until an item is chosen
    (151, 24, 'doc_item_time', 'time'),
    (152, 24, 'doc_item_rate', '0'),
    (153, 24, 'doc_item_tax', '0'),
    (154, 24, 'doc_item_discount', '0'),
    (155, 24, 'doc_item_total', '0'),
    (156, 24, 'doc_item_costrate', '0'),
    -- bill rates
    (161, 21, 'bill_rate_selling', '0'),
    (162, 21, 'bill_rate_cost', '0'),
    (163, 21, 'bill_rate_markup', '0'),
    (164, 21, 'bill_rate_maxdisc', '0'),
    (165, 21, 'bill_rate_tax', '0');

-- =======================================================================================
-- Views (saved queries). A person's full name is name, blank, first name, blank, title.
-- =======================================================================================

-- Rights follow group membership: a user holds every operation of every group he is in.
-- Only groups and users that exist count, so rows left by a deleted one grant nothing.
-- The program puts the same text in place of an older view at start-up: change both together.
CREATE VIEW usr_op AS
SELECT gr.group_right_id, gr.sys_op_id, gul.sys_user_id AS sys_usr_id, gr.user_group_id
FROM group_right gr
JOIN group_user_link gul ON gul.user_group_id = gr.user_group_id
JOIN entity grp ON grp.entity_id = gr.user_group_id AND grp.dimension_id = 3
JOIN entity usr ON usr.entity_id = gul.sys_user_id AND usr.dimension_id = 4;

-- Pick lists and list views of people and organisations.
CREATE VIEW brwCustomer AS
SELECT e.entity_id, e.allow_delete,
       COALESCE(e.entity_name, '') || ' ' || COALESCE(e.entity_first, '') || ' '
           || COALESCE(e.entity_title, '') AS "Full name",
       e.entity_code AS "Code"
FROM entity e
WHERE e.dimension_id = 1;

CREATE VIEW lstCustomer AS
SELECT e.entity_id, e.allow_delete, e.customer_type_id, e.region_id,
       COALESCE(e.entity_name, '') || ' ' || COALESCE(e.entity_first, '') || ' '
           || COALESCE(e.entity_title, '') AS "full name",
       e.entity_code AS "Code",
       t.customer_type_descr AS "Customer type",
       a.address_tel1 AS "Telephone",
       a.address_email1 AS "E-mail"
FROM entity e
LEFT JOIN customer_type t ON t.customer_type_id = e.customer_type_id
LEFT JOIN address a
    ON a.address_id = (SELECT MIN(a2.address_id) FROM address a2 WHERE a2.entity_id = e.entity_id)
WHERE e.dimension_id = 1;

CREATE VIEW brwContactPerson AS
SELECT e.entity_id, e.allow_delete, e.parent_id,
       COALESCE(e.entity_name, '') || ' ' || COALESCE(e.entity_first, '') || ' '
           || COALESCE(e.entity_title, '') AS "Full name",
       e.entity_department AS "Department",
       e.entity_officetel AS "Office telephone",
       e.entity_cell AS "Cell",
       e.entity_email AS "E-mail"
FROM entity e
WHERE e.dimension_id = 17;

CREATE VIEW brwSysUser AS
SELECT e.entity_id, e.allow_delete,
       COALESCE(e.entity_name, '') || ' ' || COALESCE(e.entity_first, '') || ' '
           || COALESCE(e.entity_title, '') AS "Full name",
       e.entity_username AS "User name",
       e.entity_email AS "E-mail"
FROM entity e
WHERE e.dimension_id = 4;

CREATE VIEW brwUserGroup AS
SELECT e.entity_id, e.allow_delete, e.entity_name AS "Name"
FROM entity e
WHERE e.dimension_id = 3;

CREATE VIEW brwRegion AS
SELECT e.entity_id, e.allow_delete, e.entity_name AS "Region name",
       e.entity_currency AS "Currency", e.entity_currencysymbol AS "Symbol"
FROM entity e
WHERE e.dimension_id = 16;

CREATE VIEW lstBusUnit AS
SELECT e.entity_id, e.allow_delete, e.entity_name AS "Business unit", e.entity_code AS "Code",
       e.entity_taxref AS "Tax reference", e.entity_currency AS "Currency"
FROM entity e
WHERE e.dimension_id = 5;

CREATE VIEW lstCustomerType AS
SELECT t.customer_type_id, t.allow_delete, t.customer_type_descr AS "Customer type"
FROM customer_type t;

-- Sales documents of one kind, with the sum of their lines.
CREATE VIEW lstQuotation AS
SELECT d.zlm_doc_id, d.allow_delete, d.customer_id, d.doc_status_id,
       d.zlm_doc_ref AS "Reference", d.zlm_doc_date AS "Date",
       d.zlm_doc_descr AS "Description", s.doc_status_descr AS "Status",
       d.zlm_cust_ref AS "Customer reference",
       (SELECT TOTAL(i.doc_item_total) FROM doc_item i
        WHERE i.zlm_doc_id = d.zlm_doc_id AND i.dimension_id = 24) AS "Total"
FROM zlm_doc d
LEFT JOIN doc_status s ON s.doc_status_id = d.doc_status_id
WHERE d.dimension_id = 6;

CREATE VIEW lstOrder AS
SELECT d.zlm_doc_id, d.allow_delete, d.customer_id, d.doc_status_id,
       d.zlm_doc_ref AS "Reference", d.zlm_doc_date AS "Date",
       d.zlm_doc_descr AS "Description", s.doc_status_descr AS "Status",
       d.zlm_cust_ref AS "Customer reference",
       (SELECT TOTAL(i.doc_item_total) FROM doc_item i
        WHERE i.zlm_doc_id = d.zlm_doc_id AND i.dimension_id = 24) AS "Total"
FROM zlm_doc d
LEFT JOIN doc_status s ON s.doc_status_id = d.doc_status_id
WHERE d.dimension_id = 7;

CREATE VIEW lstInvoice AS
SELECT d.zlm_doc_id, d.allow_delete, d.customer_id, d.doc_status_id,
       d.zlm_doc_ref AS "Reference", d.zlm_doc_date AS "Date",
       d.zlm_doc_descr AS "Description", s.doc_status_descr AS "Status",
       d.zlm_cust_ref AS "Customer reference",
       (SELECT TOTAL(i.doc_item_total) FROM doc_item i
        WHERE i.zlm_doc_id = d.zlm_doc_id AND i.dimension_id = 24) AS "Total"
FROM zlm_doc d
LEFT JOIN doc_status s ON s.doc_status_id = d.doc_status_id
WHERE d.dimension_id = 8;

-- All quotations, orders and invoices of every customer (inquiry processes window).
CREATE VIEW brwQOI AS
SELECT d.zlm_doc_id, d.dimension_id, d.doc_status_id, d.customer_id, d.allow_delete,
       COALESCE(e.entity_name, '') || ' ' || COALESCE(e.entity_first, '') || ' '
           || COALESCE(e.entity_title, '') AS "Customer",
       CASE d.dimension_id WHEN 6 THEN 'Quotation' WHEN 7 THEN 'Order' ELSE 'Invoice' END
           AS "Document type",
       d.zlm_doc_date AS "Date",
       s.doc_status_descr AS "Status",
       d.zlm_doc_ref AS "Reference",
       d.zlm_doc_descr AS "Description"
FROM zlm_doc d
LEFT JOIN entity e ON e.entity_id = d.customer_id
LEFT JOIN doc_status s ON s.doc_status_id = d.doc_status_id
WHERE d.dimension_id IN (6, 7, 8);

CREATE VIEW lstContactEvent AS
SELECT d.zlm_doc_id, d.allow_delete, d.customer_id, d.contact_type_id,
       d.zlm_doc_date AS "Date", d.zlm_doc_time AS "Time",
       t.contact_type_descr AS "Event type", d.zlm_doc_descr AS "Description",
       COALESCE(p.entity_name, '') || ' ' || COALESCE(p.entity_first, '') || ' '
           || COALESCE(p.entity_title, '') AS "Contact person",
       d.zlm_doc_file AS "File"
FROM zlm_doc d
LEFT JOIN contact_type t ON t.contact_type_id = d.contact_type_id
LEFT JOIN entity p ON p.entity_id = d.contact_person_id
WHERE d.dimension_id = 9;

CREATE VIEW lstForecast AS
SELECT d.zlm_doc_id, d.allow_delete, d.bus_unit_id,
       d.zlm_doc_date AS "Date", d.zlm_doc_descr AS "Description",
       d.zlm_doc_from AS "From", d.zlm_doc_to AS "To",
       (SELECT TOTAL(i.doc_item_total) FROM doc_item i
        WHERE i.zlm_doc_id = d.zlm_doc_id AND i.dimension_id = 24) AS "Total"
FROM zlm_doc d
WHERE d.dimension_id = 15;

CREATE VIEW lstInquiry AS
SELECT d.zlm_doc_id, d.allow_delete, d.customer_id, d.inq_status_id, d.inquiry_type_id,
       d.zlm_doc_ref AS "Reference", d.zlm_doc_date AS "Date",
       COALESCE(e.entity_name, '') || ' ' || COALESCE(e.entity_first, '') || ' '
           || COALESCE(e.entity_title, '') AS "Customer",
       d.zlm_doc_descr AS "Description", t.inquiry_type_descr AS "Inquiry type",
       s.inq_status_descr AS "Status", d.zlm_doc_followup AS "Follow up"
FROM zlm_doc d
LEFT JOIN entity e ON e.entity_id = d.customer_id
LEFT JOIN inquiry_type t ON t.inquiry_type_id = d.inquiry_type_id
LEFT JOIN inq_status s ON s.inq_status_id = d.inq_status_id
WHERE d.dimension_id = 18;

CREATE VIEW lstCampaign AS
SELECT d.zlm_doc_id, d.allow_delete, d.cust_type_id, d.doc_template_id,
       d.zlm_doc_date AS "Date", d.zlm_doc_descr AS "Description",
       d.zlm_doc_campaigntype AS "Campaign type", t.customer_type_descr AS "Customer type",
       m.doc_template_name AS "Template", d.zlm_doc_campaigngenerated AS "Generated"
FROM zlm_doc d
LEFT JOIN customer_type t ON t.customer_type_id = d.cust_type_id
LEFT JOIN doc_template m ON m.doc_template_id = d.doc_template_id
WHERE d.dimension_id = 28;

-- Lines of documents.
CREATE VIEW lstDocItem AS
SELECT i.doc_item_id, i.allow_delete, i.zlm_doc_id,
       i.doc_item_code AS "Code", i.doc_item_descr AS "Description",
       i.doc_item_qty AS "Quantity", i.doc_item_rate AS "Rate",
       i.doc_item_discount AS "Discount", i.doc_item_tax AS "Tax",
       i.doc_item_total AS "Total"
FROM doc_item i
WHERE i.dimension_id = 24;

CREATE VIEW brwInqItem AS
SELECT i.doc_item_id, i.allow_delete, i.zlm_doc_id, i.sys_user_id, i.inq_status_id,
       i.doc_item_date AS "Date", i.doc_item_time AS "Time",
       i.doc_item_descr AS "Description",
       COALESCE(u.entity_name, '') || ' ' || COALESCE(u.entity_first, '') || ' '
           || COALESCE(u.entity_title, '') AS "Responsible user",
       i.doc_item_duetime AS "Time due", s.inq_status_descr AS "Status",
       i.doc_item_file AS "File"
FROM doc_item i
LEFT JOIN entity u ON u.entity_id = i.sys_user_id
LEFT JOIN inq_status s ON s.inq_status_id = i.inq_status_id
WHERE i.dimension_id = 22;

CREATE VIEW lstContactItem AS
SELECT i.doc_item_id, i.allow_delete, i.zlm_doc_id, i.doc_type_id,
       i.doc_item_date AS "Date", i.doc_item_time AS "Time",
       i.doc_item_descr AS "Description", t.doc_type_descr AS "Document type",
       i.doc_item_file AS "File"
FROM doc_item i
LEFT JOIN doc_type t ON t.doc_type_id = i.doc_type_id
WHERE i.dimension_id = 19;

-- Catalogue.
CREATE VIEW lstService AS
SELECT b.billable_id, b.allow_delete, b.billable_code AS "Code",
       b.billable_descr AS "Description", b.billable_units AS "Units",
       b.billable_custcode AS "Customer code"
FROM billable b
WHERE b.dimension_id = 14;

CREATE VIEW lstComponent AS
SELECT b.billable_id, b.allow_delete, b.billable_code AS "Code",
       b.billable_descr AS "Description", b.billable_units AS "Units",
       b.billable_sku AS "SKU", b.billable_barcode AS "Barcode"
FROM billable b
WHERE b.dimension_id = 10;

CREATE VIEW lstAssembly AS
SELECT b.billable_id, b.allow_delete, b.billable_code AS "Code",
       b.billable_descr AS "Description", b.billable_units AS "Units",
       b.billable_sku AS "SKU"
FROM billable b
WHERE b.dimension_id = 11;

CREATE VIEW lstBillItem AS
SELECT l.bill_item_id, l.allow_delete, l.billable_id,
       l.bill_item_code AS "Code", l.bill_item_descr AS "Description",
       l.bill_item_qty AS "Quantity"
FROM bill_item l;

CREATE VIEW lstBillRate AS
SELECT r.bill_rate_id, r.allow_delete, r.billable_id,
       r.bill_rate_from AS "From", r.bill_rate_to AS "To",
       r.bill_rate_selling AS "Selling", r.bill_rate_cost AS "Cost",
       r.bill_rate_markup AS "Markup", r.bill_rate_maxdisc AS "Maximum discount",
       r.bill_rate_tax AS "Tax"
FROM bill_rate r;

CREATE VIEW lstBillableImage AS
SELECT m.billable_image_id, m.allow_delete, m.billable_id,
       m.billable_image_descr AS "Description", m.billable_image_file AS "File"
FROM billable_image m;

CREATE VIEW lstExchangeRate AS
SELECT x.exchange_rate_id, x.allow_delete, x.region_id,
       x.exchange_rate_from AS "From", x.exchange_rate_to AS "To",
       x.exchange_rate AS "Rate"
FROM exchange_rate x;

CREATE VIEW lstDocTemplate AS
SELECT t.doc_template_id, t.allow_delete, t.doc_template_name AS "Name",
       t.doc_template_file AS "File"
FROM doc_template t;

-- Questionnaires.
CREATE VIEW lstQuestionnaire AS
SELECT q.questionnaire_id, q.allow_delete, q.questionnaire_name AS "Name"
FROM questionnaire q;

CREATE VIEW lstQuestSection AS
SELECT s.quest_section_id, s.allow_delete, s.questionnaire_id,
       s.quest_section_dispord AS "Display order", s.quest_section_name AS "Name",
       s.quest_section_caption AS "Caption"
FROM quest_section s;

CREATE VIEW lstQuestion AS
SELECT q.question_id, q.allow_delete, q.quest_section_id,
       q.question_dispord AS "Display order", q.question_name AS "Name",
       q.question_prompt AS "Prompt",
       CASE q.question_type WHEN 0 THEN 'Free text' WHEN 1 THEN 'Numeric'
           WHEN 2 THEN 'Date' WHEN 3 THEN 'Multiple choice' ELSE '' END AS "Question type"
FROM question q;

CREATE VIEW lstChoice AS
SELECT c.choice_id, c.allow_delete, c.question_id,
       c.choice_text AS "Text", c.choice_value AS "Value", c.choice_score AS "Score"
FROM choice c;

-- An answer with its question.
CREATE VIEW qQuestionAnswer AS
SELECT a.answer_id, a.comp_quest_id, a.question_id, a.quest_section_id, a.choice_id,
       a.dimension_id, a.allow_delete, a.answer_text, a.answer_completed, a.answer_comptime,
       q.question_type, q.question_name, q.question_prompt, q.question_default,
       q.question_min, q.question_max, q.question_dispord
FROM answer a
LEFT JOIN question q ON q.question_id = a.question_id;

-- The score of a completed questionnaire: the scores of the chosen choices as a
-- percentage of the best choice of every answered question; 0 when nothing can score.
CREATE VIEW qScore AS
SELECT cq.comp_quest_id, cq.questionnaire_id, cq.customer_id,
       CASE WHEN COALESCE(s.possible, 0.0) > 0.0 THEN 100.0 * s.achieved / s.possible
            ELSE 0.0 END AS score
FROM comp_quest cq
LEFT JOIN (SELECT a.comp_quest_id,
                  TOTAL(c.choice_score) AS achieved,
                  TOTAL((SELECT MAX(c2.choice_score) FROM choice c2
                         WHERE c2.question_id = a.question_id)) AS possible
           FROM answer a
           LEFT JOIN choice c ON c.choice_id = a.choice_id
           GROUP BY a.comp_quest_id) s ON s.comp_quest_id = cq.comp_quest_id;

CREATE VIEW lstCompQuest AS
SELECT cq.comp_quest_id, cq.allow_delete, cq.customer_id, cq.questionnaire_id,
       cq.comp_quest_date AS "Date", cq.comp_quest_time AS "Time",
       q.questionnaire_name AS "Questionnaire", sc.score AS "Score"
FROM comp_quest cq
LEFT JOIN questionnaire q ON q.questionnaire_id = cq.questionnaire_id
LEFT JOIN qScore sc ON sc.comp_quest_id = cq.comp_quest_id;

CREATE VIEW lstAnswer AS
SELECT a.answer_id, a.allow_delete, a.comp_quest_id, a.question_id,
       q.question_prompt AS "Question", a.answer_text AS "Answer"
FROM answer a
LEFT JOIN question q ON q.question_id = a.question_id;

-- Pricing: the tax rate and the exchange rates of a document line's customer. Exchange
-- rates come oldest period first, so the newest valid one is read last.
CREATE VIEW qCustomerTaxRate AS
SELECT i.doc_item_id, i.zlm_doc_id, d.customer_id, e.entity_taxrate
FROM doc_item i
JOIN zlm_doc d ON d.zlm_doc_id = i.zlm_doc_id
JOIN entity e ON e.entity_id = d.customer_id;

CREATE VIEW qCustomerExchangeRate AS
SELECT i.doc_item_id, d.customer_id, x.region_id, x.exchange_rate_id,
       x.exchange_rate_from, x.exchange_rate_to, x.exchange_rate
FROM doc_item i
JOIN zlm_doc d ON d.zlm_doc_id = i.zlm_doc_id
JOIN entity e ON e.entity_id = d.customer_id
JOIN exchange_rate x ON x.region_id = e.region_id AND x.region_id > 0
ORDER BY i.doc_item_id, x.exchange_rate_from, x.exchange_rate_to, x.exchange_rate_id;

-- An entity (customer or business unit) with its address; the entity's key is exposed
-- as bus_unit_id for the letter and e-mail look-ups.
CREATE VIEW repEntityAddress AS
SELECT e.entity_id AS bus_unit_id, e.entity_id, e.dimension_id,
       e.entity_name, e.entity_first, e.entity_title, e.entity_initials, e.entity_fullname,
       e.entity_code, e.entity_legalref, e.entity_taxref, e.entity_taxrate,
       e.entity_email, e.entity_officetel, e.entity_hometel, e.entity_cell, e.entity_fax,
       e.entity_building, e.entity_office, e.entity_department, e.entity_logo,
       e.entity_currency, e.entity_currencysymbol,
       a.address_postal1, a.address_postal2, a.address_postal3, a.address_pcode,
       a.address_phys1, a.address_phys2, a.address_phys3, a.address_phys4,
       a.address_tel1, a.address_tel2, a.address_tel3, a.address_cell,
       a.address_email1, a.address_email2, a.address_fax1, a.address_fax2
FROM entity e
LEFT JOIN address a
    ON a.address_id = (SELECT MIN(a2.address_id) FROM address a2 WHERE a2.entity_id = e.entity_id);

-- Forecast lines with the forecast's period and business unit.
CREATE VIEW repForecastItems AS
SELECT i.doc_item_id, i.zlm_doc_id, d.bus_unit_id, d.customer_id,
       d.zlm_doc_from, d.zlm_doc_to, i.doc_item_descr, i.doc_item_total AS total
FROM doc_item i
JOIN zlm_doc d ON d.zlm_doc_id = i.zlm_doc_id
WHERE d.dimension_id = 15 AND i.dimension_id = 24;

-- ---------------------------------------------------------------------------------------
-- Sources of the report and chart definitions of the metadata database. Dates stay plain
-- columns of zlm_doc, so they keep their DATETIME type through every view and subquery;
-- a report period is compared with them as stored text. Texts that were never entered
-- ("[no value]") print as blanks.
-- ---------------------------------------------------------------------------------------

-- One quotation, order or invoice with its customer's and its business unit's name and
-- address (reports 1 to 4, by zlm_doc_id).
CREATE VIEW repDocHeader AS
SELECT d.zlm_doc_id, d.dimension_id, d.customer_id, d.bus_unit_id, d.doc_status_id,
       d.zlm_doc_date,
       NULLIF(d.zlm_doc_ref, '[no value]') AS doc_ref,
       NULLIF(d.zlm_cust_ref, '[no value]') AS cust_ref,
       NULLIF(d.zlm_doc_descr, '[no value]') AS doc_descr,
       s.doc_status_descr AS status,
       TRIM(COALESCE(c.entity_name, '') || ' ' || COALESCE(c.entity_first, '') || ' '
            || COALESCE(c.entity_title, '')) AS cust_name,
       NULLIF(c.entity_taxref, '[no value]') AS cust_taxref,
       NULLIF(ca.address_postal1, '[no value]') AS cust_postal1,
       NULLIF(ca.address_postal2, '[no value]') AS cust_postal2,
       NULLIF(ca.address_postal3, '[no value]') AS cust_postal3,
       NULLIF(ca.address_pcode, '[no value]') AS cust_pcode,
       NULLIF(ca.address_tel1, '[no value]') AS cust_tel,
       NULLIF(ca.address_email1, '[no value]') AS cust_email,
       b.entity_name AS bu_name,
       NULLIF(b.entity_taxref, '[no value]') AS bu_taxref,
       NULLIF(ba.address_postal1, '[no value]') AS bu_postal1,
       NULLIF(ba.address_postal2, '[no value]') AS bu_postal2,
       NULLIF(ba.address_postal3, '[no value]') AS bu_postal3,
       NULLIF(ba.address_pcode, '[no value]') AS bu_pcode,
       NULLIF(ba.address_tel1, '[no value]') AS bu_tel,
       NULLIF(ba.address_email1, '[no value]') AS bu_email
FROM zlm_doc d
LEFT JOIN doc_status s ON s.doc_status_id = d.doc_status_id
-- The entities and their first addresses joined directly, not through repEntityAddress: a view
-- holding a join on the right of a LEFT JOIN is read whole for every document.
LEFT JOIN entity c ON c.entity_id = d.customer_id
LEFT JOIN address ca ON ca.address_id =
    (SELECT MIN(a.address_id) FROM address a WHERE a.entity_id = d.customer_id)
LEFT JOIN entity b ON b.entity_id = d.bus_unit_id
LEFT JOIN address ba ON ba.address_id =
    (SELECT MIN(a.address_id) FROM address a WHERE a.entity_id = d.bus_unit_id)
WHERE d.dimension_id IN (6, 7, 8);

-- The priced lines of a document in the order they were entered (reports 1 to 3).
CREATE VIEW repDocLines AS
SELECT i.doc_item_id, i.zlm_doc_id,
       NULLIF(i.doc_item_code, '[no value]') AS doc_item_code,
       NULLIF(i.doc_item_descr, '[no value]') AS doc_item_descr,
       i.doc_item_qty, i.doc_item_rate, i.doc_item_discount, i.doc_item_tax, i.doc_item_total
FROM doc_item i
WHERE i.dimension_id = 24
ORDER BY i.zlm_doc_id, i.doc_item_id;

-- Every quotation, order and invoice with its month ("yyyy/MM") and the sum of its lines.
CREATE VIEW repDocSummary AS
SELECT d.zlm_doc_id, d.dimension_id, d.bus_unit_id, d.customer_id, d.doc_status_id,
       d.zlm_doc_date,
       strftime('%Y/%m', d.zlm_doc_date) AS doc_month,
       TRIM(COALESCE(e.entity_name, '') || ' ' || COALESCE(e.entity_first, '') || ' '
            || COALESCE(e.entity_title, '')) AS customer,
       COALESCE(s.doc_status_descr, '') AS status,
       (SELECT TOTAL(i.doc_item_total) FROM doc_item i
        WHERE i.zlm_doc_id = d.zlm_doc_id AND i.dimension_id = 24) AS total
FROM zlm_doc d
LEFT JOIN entity e ON e.entity_id = d.customer_id
LEFT JOIN doc_status s ON s.doc_status_id = d.doc_status_id
WHERE d.dimension_id IN (6, 7, 8);

-- Every priced line of a quotation, order or invoice with its document's kind, date, month,
-- business unit and customer, the kind of item it sells (item_type, from doc_item_billtype:
-- 0 service, 2 assembly, 1 component, also for any other value) and that billable item, and
-- its amounts: revenue is the discounted amount before tax, cost the cost rate times the
-- quantity.
CREATE VIEW repDocLineItems AS
SELECT l.doc_item_id, l.zlm_doc_id, d.dimension_id, d.bus_unit_id, d.customer_id,
       d.doc_status_id, d.zlm_doc_date,
       strftime('%Y/%m', d.zlm_doc_date) AS doc_month,
       l.sys_user_id, l.doc_item_billtype, l.item_type, l.billable_id,
       COALESCE(NULLIF(b.billable_code, '[no value]'), NULLIF(l.doc_item_code, '[no value]'), '')
           AS item_code,
       COALESCE(NULLIF(b.billable_descr, '[no value]'), NULLIF(l.doc_item_descr, '[no value]'),
                '') AS item_descr,
       l.doc_item_qty, l.doc_item_total,
       COALESCE(l.doc_item_rate, 0.0) * COALESCE(l.doc_item_qty, 0.0)
           * (1.0 - COALESCE(l.doc_item_discount, 0.0) / 100.0) AS revenue,
       COALESCE(l.doc_item_costrate, 0.0) * COALESCE(l.doc_item_qty, 0.0) AS cost
FROM (SELECT i.*,
             CASE i.doc_item_billtype WHEN 0 THEN 0 WHEN 2 THEN 2 ELSE 1 END AS item_type,
             CASE i.doc_item_billtype WHEN 0 THEN i.service_id WHEN 2 THEN i.assembly_id
                  ELSE i.component_id END AS billable_id
      FROM doc_item i
      WHERE i.dimension_id = 24) l
JOIN zlm_doc d ON d.zlm_doc_id = l.zlm_doc_id
LEFT JOIN billable b ON b.billable_id = l.billable_id
WHERE d.dimension_id IN (6, 7, 8);

-- Orders of each customer, by business unit (report 10).
CREATE VIEW repOrdersByCustomer AS
SELECT bus_unit_id, customer_id, customer, COUNT(*) AS orders, TOTAL(total) AS total
FROM repDocSummary
WHERE dimension_id = 7
GROUP BY bus_unit_id, customer_id, customer
ORDER BY customer, customer_id;

-- Documents of each status, by kind and business unit (reports 18, 23 and 24).
CREATE VIEW repDocsByStatus AS
SELECT dimension_id, bus_unit_id, doc_status_id, status, COUNT(*) AS documents,
       TOTAL(total) AS total
FROM repDocSummary
GROUP BY dimension_id, bus_unit_id, doc_status_id, status;

CREATE VIEW repQuotationsByStatus AS
SELECT bus_unit_id, doc_status_id, status, documents, total
FROM repDocsByStatus
WHERE dimension_id = 6
ORDER BY doc_status_id;

CREATE VIEW repOrdersByStatus AS
SELECT bus_unit_id, doc_status_id, status, documents, total
FROM repDocsByStatus
WHERE dimension_id = 7
ORDER BY doc_status_id;

CREATE VIEW repInvoicesByStatus AS
SELECT bus_unit_id, doc_status_id, status, documents, total
FROM repDocsByStatus
WHERE dimension_id = 8
ORDER BY doc_status_id;

-- Quotations by the system user who entered their lines, by business unit (report 19). A
-- quotation with lines of two users counts for both, each with the value of his lines.
CREATE VIEW repQuotationsByUser AS
SELECT l.bus_unit_id, l.sys_user_id,
       TRIM(COALESCE(u.entity_name, '') || ' ' || COALESCE(u.entity_first, '') || ' '
            || COALESCE(u.entity_title, '')) AS system_user,
       COUNT(DISTINCT l.zlm_doc_id) AS quotations, TOTAL(l.doc_item_total) AS total
FROM repDocLineItems l
LEFT JOIN entity u ON u.entity_id = l.sys_user_id
WHERE l.dimension_id = 6
GROUP BY l.bus_unit_id, l.sys_user_id, u.entity_name, u.entity_first, u.entity_title
ORDER BY system_user, l.sys_user_id;

-- Orders of every business unit (report 21).
CREATE VIEW repOrdersByBusUnit AS
SELECT s.bus_unit_id, COALESCE(u.entity_name, '') AS business_unit, COUNT(*) AS orders,
       TOTAL(s.total) AS total
FROM repDocSummary s
LEFT JOIN entity u ON u.entity_id = s.bus_unit_id
WHERE s.dimension_id = 7
GROUP BY s.bus_unit_id, u.entity_name
ORDER BY business_unit, s.bus_unit_id;

-- Chart sources: the value of quotations, orders and invoices by month, as the text YrMnth
-- ("yyyyMM") and the number ym (yyyyMM) by which a chart limits its period.
CREATE VIEW repDocYM AS
SELECT dimension_id, strftime('%Y%m', zlm_doc_date) AS YrMnth,
       CAST(strftime('%Y%m', zlm_doc_date) AS INTEGER) AS ym, TOTAL(total) AS total
FROM repDocSummary
WHERE strftime('%Y%m', zlm_doc_date) IS NOT NULL
GROUP BY dimension_id, strftime('%Y%m', zlm_doc_date);

CREATE VIEW repQuotationYM AS
SELECT YrMnth, ym, total FROM repDocYM WHERE dimension_id = 6 ORDER BY ym;

CREATE VIEW repOrderYM AS
SELECT YrMnth, ym, total FROM repDocYM WHERE dimension_id = 7 ORDER BY ym;

CREATE VIEW repInvoiceYM AS
SELECT YrMnth, ym, total FROM repDocYM WHERE dimension_id = 8 ORDER BY ym;

-- The value of the orders by billable item, largest first; items of no value are left out
-- (the breakdown pie).
CREATE VIEW repOrderBreakdown AS
SELECT CASE WHEN item_descr <> '' THEN item_descr ELSE item_code END AS item,
       TOTAL(doc_item_total) AS total
FROM repDocLineItems
WHERE dimension_id = 7
GROUP BY item_type, billable_id, item_code, item_descr
HAVING TOTAL(doc_item_total) > 0
ORDER BY total DESC, item;

-- Diet charts. One kilocalorie is 4.184 kJ; one pound is 0.45359237 kg. Heights are in
-- centimetres for metric users and in inches otherwise.
CREATE VIEW repFoodCals AS
SELECT f.food_intake_id, f.sys_usr_id, f.food_intake_date,
       f.food_intake_carbs AS carbs, f.food_intake_fat AS fat,
       f.food_intake_proteins AS proteins, f.food_intake_saturated AS saturated
FROM food_intake f;

CREATE VIEW repCalorieGraph AS
SELECT f.food_intake_id, f.sys_usr_id, f.food_intake_date,
       f.food_intake_kj AS kj, COALESCE(f.food_intake_kj, 0.0) / 4.184 AS calories
FROM food_intake f;

CREATE VIEW repExerciseGraph AS
SELECT x.usr_exercise_id, x.sys_usr_id, x.usr_exercise_dt,
       COALESCE(x.usr_exercise_lightkj, 0.0) / 4.184 AS light,
       COALESCE(x.usr_exercise_mediumkj, 0.0) / 4.184 AS medium,
       COALESCE(x.usr_exercise_heavykj, 0.0) / 4.184 AS heavy,
       x.usr_exercise_lightkj AS lightkj, x.usr_exercise_mediumkj AS mediumkj,
       x.usr_exercise_heavykj AS heavykj
FROM usr_exercise x;

CREATE VIEW repWeightGraph AS
SELECT w.usr_weight_id, w.sys_usr_id, w.usr_weight_date, w.kg, w.lbs,
       CASE WHEN w.metres > 0.0 THEN w.kg / (w.metres * w.metres) ELSE 0.0 END AS bmi,
       CASE WHEN w.metres > 0.0 THEN 703.0 * w.lbs / ((w.metres / 0.0254) * (w.metres / 0.0254))
            ELSE 0.0 END AS bmiimp
FROM (SELECT uw.usr_weight_id, uw.sys_usr_id, uw.usr_weight_date,
             CASE WHEN u.sys_usr_units = 1
                  THEN COALESCE(uw.usr_weight_lbskg, 0.0) + COALESCE(uw.usr_weight_ozgm, 0.0) / 1000.0
                  ELSE (COALESCE(uw.usr_weight_lbskg, 0.0) + COALESCE(uw.usr_weight_ozgm, 0.0) / 16.0)
                       * 0.45359237 END AS kg,
             CASE WHEN u.sys_usr_units = 1
                  THEN (COALESCE(uw.usr_weight_lbskg, 0.0) + COALESCE(uw.usr_weight_ozgm, 0.0) / 1000.0)
                       / 0.45359237
                  ELSE COALESCE(uw.usr_weight_lbskg, 0.0) + COALESCE(uw.usr_weight_ozgm, 0.0) / 16.0
                  END AS lbs,
             CASE WHEN u.sys_usr_units = 1 THEN COALESCE(u.sys_usr_height, 0.0) / 100.0
                  ELSE COALESCE(u.sys_usr_height, 0.0) * 0.0254 END AS metres
      FROM usr_weight uw
      LEFT JOIN sys_usr u ON u.sys_usr_id = uw.sys_usr_id) w;

COMMIT;
