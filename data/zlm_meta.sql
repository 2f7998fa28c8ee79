-- Zelmar metadata database (db/zlm_meta.dat).
--
-- Report, section, field and chart definitions (their rows are installed with the report
-- server), label translations, the tags of RTF letter templates, and the scratch and
-- source tables of the bill of materials and the charts. Keys come from the counter of the
-- main database; text compares without regard to letter case.

BEGIN TRANSACTION;

-- ---------------------------------------------------------------------------------------
-- Reports: one zlm_rep row per report, its sections and the cells of each section.
-- ---------------------------------------------------------------------------------------
CREATE TABLE zlm_rep (
    zlm_rep_id INTEGER PRIMARY KEY,
    zlm_rep_table VARCHAR(50) COLLATE NOCASE,
    zlm_rep_parentfield VARCHAR(50) COLLATE NOCASE,
    zlm_rep_customerfield VARCHAR(50) COLLATE NOCASE,
    zlm_rep_datefield VARCHAR(50) COLLATE NOCASE,
    zlm_rep_htmltitle VARCHAR(150) COLLATE NOCASE,
    zlm_rep_mesgfield VARCHAR(50) COLLATE NOCASE
);

-- section_type_id: 1 static grid, 3 heading row, 5 detail rows, 6 totals row.
CREATE TABLE rep_section (
    rep_section_id INTEGER PRIMARY KEY,
    zlm_rep_id INTEGER,
    rep_section_dispord INTEGER,
    section_type_id INTEGER,
    link_section_id INTEGER,
    rep_section_tablewidth INTEGER,
    rep_section_tableborder INTEGER,
    rep_section_rows INTEGER,
    rep_section_cols INTEGER,
    rep_section_bgcolour VARCHAR(20) COLLATE NOCASE,
    rep_section_table VARCHAR(50) COLLATE NOCASE,
    rep_section_buwhere INTEGER,
    rep_section_parentfield VARCHAR(50) COLLATE NOCASE,
    rep_section_sqlhead MEMO COLLATE NOCASE,
    rep_section_sqlfoot MEMO COLLATE NOCASE,
    rep_section_ismetatable INTEGER,
    rep_Section_line1 INTEGER,
    rep_Section_line2 INTEGER
);

CREATE TABLE rep_field (
    rep_field_id INTEGER PRIMARY KEY,
    rep_section_id INTEGER,
    rep_field_row INTEGER,
    rep_field_col INTEGER,
    rep_field_dispord INTEGER,
    rep_field_width INTEGER,
    rep_field_align VARCHAR(10) COLLATE NOCASE,
    rep_field_textsize INTEGER,
    rep_field_bold INTEGER,
    rep_field_field VARCHAR(50) COLLATE NOCASE,
    rep_field_format VARCHAR(50) COLLATE NOCASE,
    rep_field_static VARCHAR(250) COLLATE NOCASE,
    rep_field_heading VARCHAR(150) COLLATE NOCASE,
    synonym_id INTEGER,
    rep_field_omitzero INTEGER,
    rep_field_runtotal INTEGER,
    rep_field_sum INTEGER,
    rep_field_isregto INTEGER
);

-- Charts. graph_rep_type: 1 plan against actual, 2 pie of exppie, 3 pie of a stored
-- statement (graph_rep_table, a blank, graph_rep_table2), 4 cumulative income and expense.
CREATE TABLE graph_rep (
    graph_rep_id INTEGER PRIMARY KEY,
    graph_rep_type INTEGER,
    graph_rep_title VARCHAR(150) COLLATE NOCASE,
    graph_rep_table VARCHAR(250) COLLATE NOCASE,
    graph_rep_table2 VARCHAR(250) COLLATE NOCASE,
    graph_rep_ymfield VARCHAR(50) COLLATE NOCASE
);

-- Local-language equivalents of the English labels of reports.
CREATE TABLE synonym (
    synonym_id INTEGER PRIMARY KEY,
    synonym_term VARCHAR(150) COLLATE NOCASE,
    synonym_local VARCHAR(150) COLLATE NOCASE
);

-- ---------------------------------------------------------------------------------------
-- Tags of RTF letter templates. A tag is written "<_" table "_" suffix "_>"; tablefield is
-- the column of the source row that replaces it: customer and busunit tags read the
-- entity-with-address view of the main database, user tags the user's entity row,
-- system tags give today's date and the time. Within a family a suffix that contains
-- another (fullname contains name) comes after it, since the last suffix found wins.
-- ---------------------------------------------------------------------------------------
CREATE TABLE template_tag (
    template_tag_id INTEGER PRIMARY KEY,
    template_tag_tag VARCHAR(50) COLLATE NOCASE,
    "table" VARCHAR(50) COLLATE NOCASE,
    suffix VARCHAR(50) COLLATE NOCASE,
    tablefield VARCHAR(50) COLLATE NOCASE
);

-- ---------------------------------------------------------------------------------------
-- Scratch and chart source tables.
-- ---------------------------------------------------------------------------------------

-- The bill of materials of one document, rebuilt for every printout.
CREATE TABLE bom (
    bom_id INTEGER PRIMARY KEY,
    bom_descr VARCHAR(150) COLLATE NOCASE,
    bom_code VARCHAR(50) COLLATE NOCASE,
    bom_units VARCHAR(50) COLLATE NOCASE,
    bom_qty DOUBLE
);

-- Planned against actual amounts by month ("yyyyMM") of the last bar chart drawn.
CREATE TABLE actual_planned (
    actual_planned_id INTEGER PRIMARY KEY,
    planned DOUBLE,
    actual DOUBLE,
    YrMth VARCHAR(6) COLLATE NOCASE
);

-- Cumulative income (sumct), expenditure (sumdt) and balance by date.
CREATE TABLE inc_exp (
    inc_exp_id INTEGER PRIMARY KEY,
    inc_exp_date DATETIME,
    inc_exp_sumdt DOUBLE,
    inc_exp_sumct DOUBLE,
    inc_exp_nett DOUBLE
);

-- Slices of the breakdown pie: a label and its amount.
CREATE TABLE exppie (
    exppie_id INTEGER PRIMARY KEY,
    exppie_descr VARCHAR(150) COLLATE NOCASE,
    exppie_amount DOUBLE
);

-- =======================================================================================
-- Rows
-- =======================================================================================

INSERT INTO template_tag (template_tag_id, template_tag_tag, "table", suffix, tablefield) VALUES
    -- the customer the letter is written to
    (201, '<_customer_name_>', 'customer', 'name', 'entity_name'),
    (202, '<_customer_fullname_>', 'customer', 'fullname', 'entity_fullname'),
    (203, '<_customer_first_>', 'customer', 'first', 'entity_first'),
    (204, '<_customer_title_>', 'customer', 'title', 'entity_title'),
    (205, '<_customer_code_>', 'customer', 'code', 'entity_code'),
    (206, '<_customer_pcode_>', 'customer', 'pcode', 'address_pcode'),
    (207, '<_customer_taxref_>', 'customer', 'taxref', 'entity_taxref'),
    (208, '<_customer_postal1_>', 'customer', 'postal1', 'address_postal1'),
    (209, '<_customer_postal2_>', 'customer', 'postal2', 'address_postal2'),
    (210, '<_customer_postal3_>', 'customer', 'postal3', 'address_postal3'),
    (211, '<_customer_phys1_>', 'customer', 'phys1', 'address_phys1'),
    (212, '<_customer_phys2_>', 'customer', 'phys2', 'address_phys2'),
    (213, '<_customer_phys3_>', 'customer', 'phys3', 'address_phys3'),
    (214, '<_customer_phys4_>', 'customer', 'phys4', 'address_phys4'),
    (215, '<_customer_tel_>', 'customer', 'tel', 'address_tel1'),
    (216, '<_customer_fax_>', 'customer', 'fax', 'address_fax1'),
    (217, '<_customer_email_>', 'customer', 'email', 'address_email1'),
    -- the current business unit, the sender
    (231, '<_busunit_name_>', 'busunit', 'name', 'entity_name'),
    (232, '<_busunit_code_>', 'busunit', 'code', 'entity_code'),
    (233, '<_busunit_pcode_>', 'busunit', 'pcode', 'address_pcode'),
    (234, '<_busunit_legalref_>', 'busunit', 'legalref', 'entity_legalref'),
    (235, '<_busunit_taxref_>', 'busunit', 'taxref', 'entity_taxref'),
    (236, '<_busunit_postal1_>', 'busunit', 'postal1', 'address_postal1'),
    (237, '<_busunit_postal2_>', 'busunit', 'postal2', 'address_postal2'),
    (238, '<_busunit_postal3_>', 'busunit', 'postal3', 'address_postal3'),
    (239, '<_busunit_phys1_>', 'busunit', 'phys1', 'address_phys1'),
    (240, '<_busunit_phys2_>', 'busunit', 'phys2', 'address_phys2'),
    (241, '<_busunit_phys3_>', 'busunit', 'phys3', 'address_phys3'),
    (242, '<_busunit_phys4_>', 'busunit', 'phys4', 'address_phys4'),
    (243, '<_busunit_tel_>', 'busunit', 'tel', 'address_tel1'),
    (244, '<_busunit_fax_>', 'busunit', 'fax', 'address_fax1'),
    (245, '<_busunit_email_>', 'busunit', 'email', 'address_email1'),
    -- the user writing the letter
    (261, '<_user_name_>', 'user', 'name', 'entity_name'),
    (262, '<_user_fullname_>', 'user', 'fullname', 'entity_fullname'),
    (263, '<_user_first_>', 'user', 'first', 'entity_first'),
    (264, '<_user_title_>', 'user', 'title', 'entity_title'),
    (265, '<_user_email_>', 'user', 'email', 'entity_email'),
    (266, '<_user_tel_>', 'user', 'tel', 'entity_officetel'),
    (267, '<_user_cell_>', 'user', 'cell', 'entity_cell'),
    -- today's date and the time of the merge
    (281, '<_system_date_>', 'system', 'date', ''),
    (282, '<_system_time_>', 'system', 'time', '');

COMMIT;
