-- Zelmar metadata database (db/zlm_meta.dat).
--
-- Report, section, field and chart definitions, label translations, the tags of RTF letter
-- templates, and the scratch and source tables of the bill of materials and the charts.
-- Keys come from the counter of the main database; text compares without regard to letter
-- case.

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

-- Reports. Sources are views of the main database (repDoc..., repOrders..., rep...ByStatus)
-- or, with rep_section_ismetatable 1, the scratch table bom. Each report opens with a grid
-- of the organisation's name and the title; a heading row and a totals row take their cells
-- from the detail section they stand with (link_section_id). Reports with a date field
-- (11 to 13, 15, 17, 22, 25) read their detail through an SQL head that the period clause
-- " where zlm_doc_date>=#...# and zlm_doc_date<=#...# " follows, then the foot (grouping and
-- order); since nothing of the run but the period reaches an SQL head, these cover every
-- business unit, while the other summaries read the current unit (rep_section_buwhere).
-- Headings and labels are synonyms, so that each can be translated; 29 is "Total", the first
-- cell of every totals row. Sections are numbered from 301, cells from 501, synonyms from
-- 401.
INSERT INTO zlm_rep (zlm_rep_id, zlm_rep_table, zlm_rep_parentfield, zlm_rep_customerfield,
                     zlm_rep_datefield, zlm_rep_htmltitle, zlm_rep_mesgfield) VALUES
    -- 1: the quotation of one document (key zlm_doc_id)
    (1, 'repDocHeader', 'zlm_doc_id', 'customer_id', '', 'Quotation', 'config_quotemesg'),
    -- 2: the order of one document (key zlm_doc_id)
    (2, 'repDocHeader', 'zlm_doc_id', 'customer_id', '', 'Order', 'config_ordermesg'),
    -- 3: the invoice of one document (key zlm_doc_id)
    (3, 'repDocHeader', 'zlm_doc_id', 'customer_id', '', 'Invoice', 'config_invoicemesg'),
    -- 4: the bill of materials of one document, from the scratch table bom
    (4, 'repDocHeader', 'zlm_doc_id', 'customer_id', '', 'Bill of materials', ''),
    -- 10: orders of the business unit by customer
    (10, 'repOrdersByCustomer', 'bus_unit_id', '', '', 'Summarized orders by customer', ''),
    -- 11: components ordered in a period, by item
    (11, 'repDocLineItems', 'bus_unit_id', '', 'zlm_doc_date', 'Component orders by time period', ''),
    -- 12: services ordered in a period, by item
    (12, 'repDocLineItems', 'bus_unit_id', '', 'zlm_doc_date', 'Service orders by time period', ''),
    -- 13: assemblies ordered in a period, by item
    (13, 'repDocLineItems', 'bus_unit_id', '', 'zlm_doc_date', 'Assembly orders by time period', ''),
    -- 15: orders of a period by month
    (15, 'repDocSummary', 'bus_unit_id', '', 'zlm_doc_date', 'Summarized orders by period', ''),
    -- 17: quotations of a period by month
    (17, 'repDocSummary', 'bus_unit_id', '', 'zlm_doc_date', 'Summarized quotations by time period', ''),
    -- 18: quotations of the business unit by status
    (18, 'repQuotationsByStatus', 'bus_unit_id', '', '', 'Summarized quotations by status', ''),
    -- 19: quotations of the business unit by the user who entered their lines
    (19, 'repQuotationsByUser', 'bus_unit_id', '', '', 'Summarized quotations by system user', ''),
    -- 21: orders of every business unit
    (21, 'repOrdersByBusUnit', '', '', '', 'Summarized orders by business unit', ''),
    -- 22: invoices of a period by month
    (22, 'repDocSummary', 'bus_unit_id', '', 'zlm_doc_date', 'Summarized invoices by period', ''),
    -- 23: orders of the business unit by status
    (23, 'repOrdersByStatus', 'bus_unit_id', '', '', 'Summarized orders by status', ''),
    -- 24: invoices of the business unit by status
    (24, 'repInvoicesByStatus', 'bus_unit_id', '', '', 'Summarized invoices by status', ''),
    -- 25: invoiced revenue before tax less cost, of a period by month
    (25, 'repDocLineItems', 'bus_unit_id', '', 'zlm_doc_date', 'Profit / Loss Report by period', '');

INSERT INTO rep_section (rep_section_id, zlm_rep_id, rep_section_dispord, section_type_id,
                         link_section_id, rep_section_tablewidth, rep_section_tableborder,
                         rep_section_rows, rep_section_cols, rep_section_bgcolour,
                         rep_section_table, rep_section_buwhere, rep_section_parentfield,
                         rep_section_sqlhead, rep_section_sqlfoot, rep_section_ismetatable,
                         rep_Section_line1, rep_Section_line2) VALUES
    -- report 1
    (301, 1, 1, 1, 0, 100, 0, 1, 2, '', 'repDocHeader', 0, 'zlm_doc_id', '', '', 0, 0, 1),
    (302, 1, 2, 1, 0, 100, 0, 8, 2, '', 'repDocHeader', 0, 'zlm_doc_id', '', '', 0, 0, 0),
    (303, 1, 3, 1, 0, 100, 0, 4, 4, '', 'repDocHeader', 0, 'zlm_doc_id', '', '', 0, 1, 1),
    (304, 1, 4, 3, 305, 100, 0, 0, 0, '#D9D9D9', 'repDocHeader', 0, 'zlm_doc_id', '', '', 0, 0, 0),
    (305, 1, 5, 5, 0, 100, 0, 0, 0, '', 'repDocLines', 0, 'zlm_doc_id', '', '', 0, 0, 0),
    (306, 1, 6, 6, 305, 100, 0, 0, 0, '', 'repDocLines', 0, 'zlm_doc_id', '', '', 0, 1, 0),
    -- report 2
    (307, 2, 1, 1, 0, 100, 0, 1, 2, '', 'repDocHeader', 0, 'zlm_doc_id', '', '', 0, 0, 1),
    (308, 2, 2, 1, 0, 100, 0, 8, 2, '', 'repDocHeader', 0, 'zlm_doc_id', '', '', 0, 0, 0),
    (309, 2, 3, 1, 0, 100, 0, 4, 4, '', 'repDocHeader', 0, 'zlm_doc_id', '', '', 0, 1, 1),
    (310, 2, 4, 3, 311, 100, 0, 0, 0, '#D9D9D9', 'repDocHeader', 0, 'zlm_doc_id', '', '', 0, 0, 0),
    (311, 2, 5, 5, 0, 100, 0, 0, 0, '', 'repDocLines', 0, 'zlm_doc_id', '', '', 0, 0, 0),
    (312, 2, 6, 6, 311, 100, 0, 0, 0, '', 'repDocLines', 0, 'zlm_doc_id', '', '', 0, 1, 0),
    -- report 3
    (313, 3, 1, 1, 0, 100, 0, 1, 2, '', 'repDocHeader', 0, 'zlm_doc_id', '', '', 0, 0, 1),
    (314, 3, 2, 1, 0, 100, 0, 8, 2, '', 'repDocHeader', 0, 'zlm_doc_id', '', '', 0, 0, 0),
    (315, 3, 3, 1, 0, 100, 0, 4, 4, '', 'repDocHeader', 0, 'zlm_doc_id', '', '', 0, 1, 1),
    (316, 3, 4, 3, 317, 100, 0, 0, 0, '#D9D9D9', 'repDocHeader', 0, 'zlm_doc_id', '', '', 0, 0, 0),
    (317, 3, 5, 5, 0, 100, 0, 0, 0, '', 'repDocLines', 0, 'zlm_doc_id', '', '', 0, 0, 0),
    (318, 3, 6, 6, 317, 100, 0, 0, 0, '', 'repDocLines', 0, 'zlm_doc_id', '', '', 0, 1, 0),
    -- report 4
    (319, 4, 1, 1, 0, 100, 0, 1, 2, '', 'repDocHeader', 0, 'zlm_doc_id', '', '', 0, 0, 1),
    (320, 4, 2, 1, 0, 100, 0, 2, 4, '', 'repDocHeader', 0, 'zlm_doc_id', '', '', 0, 0, 1),
    (321, 4, 3, 3, 322, 100, 0, 0, 0, '#D9D9D9', 'bom', 0, '', '', '', 1, 0, 0),
    (322, 4, 4, 5, 0, 100, 0, 0, 0, '', 'bom', 0, '', '', '', 1, 0, 0),
    -- report 10
    (323, 10, 1, 1, 0, 100, 0, 1, 2, '', 'repEntityAddress', 1, '', '', '', 0, 0, 0),
    (324, 10, 2, 1, 0, 100, 0, 1, 2, '', 'repEntityAddress', 1, '', '', '', 0, 0, 1),
    (325, 10, 3, 3, 326, 100, 0, 0, 0, '#D9D9D9', 'repOrdersByCustomer', 1, '', '', '', 0, 0, 0),
    (326, 10, 4, 5, 0, 100, 0, 0, 0, '', 'repOrdersByCustomer', 1, '', '', '', 0, 0, 0),
    (327, 10, 5, 6, 326, 100, 0, 0, 0, '', 'repOrdersByCustomer', 1, '', '', '', 0, 1, 0),
    -- report 11
    (328, 11, 1, 1, 0, 100, 0, 1, 2, '', 'repEntityAddress', 1, '', '', '', 0, 0, 0),
    (329, 11, 2, 1, 0, 100, 0, 1, 4, '', 'repEntityAddress', 1, '', '', '', 0, 0, 1),
    (330, 11, 3, 3, 331, 100, 0, 0, 0, '#D9D9D9', '', 0, '',
     'select t.item_code, t.item_descr, count(distinct t.zlm_doc_id) as orders, total(t.doc_item_qty) as quantity, total(t.doc_item_total) as total from (select * from repDocLineItems where dimension_id=7 and item_type=1) as t',
     'group by t.billable_id, t.item_code, t.item_descr order by t.item_code, t.item_descr', 0, 0, 0),
    (331, 11, 4, 5, 0, 100, 0, 0, 0, '', '', 0, '',
     'select t.item_code, t.item_descr, count(distinct t.zlm_doc_id) as orders, total(t.doc_item_qty) as quantity, total(t.doc_item_total) as total from (select * from repDocLineItems where dimension_id=7 and item_type=1) as t',
     'group by t.billable_id, t.item_code, t.item_descr order by t.item_code, t.item_descr', 0, 0, 0),
    (332, 11, 5, 6, 331, 100, 0, 0, 0, '', '', 0, '',
     'select t.item_code, t.item_descr, count(distinct t.zlm_doc_id) as orders, total(t.doc_item_qty) as quantity, total(t.doc_item_total) as total from (select * from repDocLineItems where dimension_id=7 and item_type=1) as t',
     'group by t.billable_id, t.item_code, t.item_descr order by t.item_code, t.item_descr', 0, 1, 0),
    -- report 12
    (333, 12, 1, 1, 0, 100, 0, 1, 2, '', 'repEntityAddress', 1, '', '', '', 0, 0, 0),
    (334, 12, 2, 1, 0, 100, 0, 1, 4, '', 'repEntityAddress', 1, '', '', '', 0, 0, 1),
    (335, 12, 3, 3, 336, 100, 0, 0, 0, '#D9D9D9', '', 0, '',
     'select t.item_code, t.item_descr, count(distinct t.zlm_doc_id) as orders, total(t.doc_item_qty) as quantity, total(t.doc_item_total) as total from (select * from repDocLineItems where dimension_id=7 and item_type=0) as t',
     'group by t.billable_id, t.item_code, t.item_descr order by t.item_code, t.item_descr', 0, 0, 0),
    (336, 12, 4, 5, 0, 100, 0, 0, 0, '', '', 0, '',
     'select t.item_code, t.item_descr, count(distinct t.zlm_doc_id) as orders, total(t.doc_item_qty) as quantity, total(t.doc_item_total) as total from (select * from repDocLineItems where dimension_id=7 and item_type=0) as t',
     'group by t.billable_id, t.item_code, t.item_descr order by t.item_code, t.item_descr', 0, 0, 0),
    (337, 12, 5, 6, 336, 100, 0, 0, 0, '', '', 0, '',
     'select t.item_code, t.item_descr, count(distinct t.zlm_doc_id) as orders, total(t.doc_item_qty) as quantity, total(t.doc_item_total) as total from (select * from repDocLineItems where dimension_id=7 and item_type=0) as t',
     'group by t.billable_id, t.item_code, t.item_descr order by t.item_code, t.item_descr', 0, 1, 0),
    -- report 13
    (338, 13, 1, 1, 0, 100, 0, 1, 2, '', 'repEntityAddress', 1, '', '', '', 0, 0, 0),
    (339, 13, 2, 1, 0, 100, 0, 1, 4, '', 'repEntityAddress', 1, '', '', '', 0, 0, 1),
    (340, 13, 3, 3, 341, 100, 0, 0, 0, '#D9D9D9', '', 0, '',
     'select t.item_code, t.item_descr, count(distinct t.zlm_doc_id) as orders, total(t.doc_item_qty) as quantity, total(t.doc_item_total) as total from (select * from repDocLineItems where dimension_id=7 and item_type=2) as t',
     'group by t.billable_id, t.item_code, t.item_descr order by t.item_code, t.item_descr', 0, 0, 0),
    (341, 13, 4, 5, 0, 100, 0, 0, 0, '', '', 0, '',
     'select t.item_code, t.item_descr, count(distinct t.zlm_doc_id) as orders, total(t.doc_item_qty) as quantity, total(t.doc_item_total) as total from (select * from repDocLineItems where dimension_id=7 and item_type=2) as t',
     'group by t.billable_id, t.item_code, t.item_descr order by t.item_code, t.item_descr', 0, 0, 0),
    (342, 13, 5, 6, 341, 100, 0, 0, 0, '', '', 0, '',
     'select t.item_code, t.item_descr, count(distinct t.zlm_doc_id) as orders, total(t.doc_item_qty) as quantity, total(t.doc_item_total) as total from (select * from repDocLineItems where dimension_id=7 and item_type=2) as t',
     'group by t.billable_id, t.item_code, t.item_descr order by t.item_code, t.item_descr', 0, 1, 0),
    -- report 15
    (343, 15, 1, 1, 0, 100, 0, 1, 2, '', 'repEntityAddress', 1, '', '', '', 0, 0, 0),
    (344, 15, 2, 1, 0, 100, 0, 1, 4, '', 'repEntityAddress', 1, '', '', '', 0, 0, 1),
    (345, 15, 3, 3, 346, 100, 0, 0, 0, '#D9D9D9', '', 0, '',
     'select t.doc_month, count(*) as documents, total(t.total) as total from (select * from repDocSummary where dimension_id=7) as t',
     'group by t.doc_month order by t.doc_month', 0, 0, 0),
    (346, 15, 4, 5, 0, 100, 0, 0, 0, '', '', 0, '',
     'select t.doc_month, count(*) as documents, total(t.total) as total from (select * from repDocSummary where dimension_id=7) as t',
     'group by t.doc_month order by t.doc_month', 0, 0, 0),
    (347, 15, 5, 6, 346, 100, 0, 0, 0, '', '', 0, '',
     'select t.doc_month, count(*) as documents, total(t.total) as total from (select * from repDocSummary where dimension_id=7) as t',
     'group by t.doc_month order by t.doc_month', 0, 1, 0),
    -- report 17
    (348, 17, 1, 1, 0, 100, 0, 1, 2, '', 'repEntityAddress', 1, '', '', '', 0, 0, 0),
    (349, 17, 2, 1, 0, 100, 0, 1, 4, '', 'repEntityAddress', 1, '', '', '', 0, 0, 1),
    (350, 17, 3, 3, 351, 100, 0, 0, 0, '#D9D9D9', '', 0, '',
     'select t.doc_month, count(*) as documents, total(t.total) as total from (select * from repDocSummary where dimension_id=6) as t',
     'group by t.doc_month order by t.doc_month', 0, 0, 0),
    (351, 17, 4, 5, 0, 100, 0, 0, 0, '', '', 0, '',
     'select t.doc_month, count(*) as documents, total(t.total) as total from (select * from repDocSummary where dimension_id=6) as t',
     'group by t.doc_month order by t.doc_month', 0, 0, 0),
    (352, 17, 5, 6, 351, 100, 0, 0, 0, '', '', 0, '',
     'select t.doc_month, count(*) as documents, total(t.total) as total from (select * from repDocSummary where dimension_id=6) as t',
     'group by t.doc_month order by t.doc_month', 0, 1, 0),
    -- report 18
    (353, 18, 1, 1, 0, 100, 0, 1, 2, '', 'repEntityAddress', 1, '', '', '', 0, 0, 0),
    (354, 18, 2, 1, 0, 100, 0, 1, 2, '', 'repEntityAddress', 1, '', '', '', 0, 0, 1),
    (355, 18, 3, 3, 356, 100, 0, 0, 0, '#D9D9D9', 'repQuotationsByStatus', 1, '', '', '', 0, 0, 0),
    (356, 18, 4, 5, 0, 100, 0, 0, 0, '', 'repQuotationsByStatus', 1, '', '', '', 0, 0, 0),
    (357, 18, 5, 6, 356, 100, 0, 0, 0, '', 'repQuotationsByStatus', 1, '', '', '', 0, 1, 0),
    -- report 19
    (358, 19, 1, 1, 0, 100, 0, 1, 2, '', 'repEntityAddress', 1, '', '', '', 0, 0, 0),
    (359, 19, 2, 1, 0, 100, 0, 1, 2, '', 'repEntityAddress', 1, '', '', '', 0, 0, 1),
    (360, 19, 3, 3, 361, 100, 0, 0, 0, '#D9D9D9', 'repQuotationsByUser', 1, '', '', '', 0, 0, 0),
    (361, 19, 4, 5, 0, 100, 0, 0, 0, '', 'repQuotationsByUser', 1, '', '', '', 0, 0, 0),
    (362, 19, 5, 6, 361, 100, 0, 0, 0, '', 'repQuotationsByUser', 1, '', '', '', 0, 1, 0),
    -- report 21
    (363, 21, 1, 1, 0, 100, 0, 1, 2, '', 'repEntityAddress', 1, '', '', '', 0, 0, 1),
    (364, 21, 2, 3, 365, 100, 0, 0, 0, '#D9D9D9', 'repOrdersByBusUnit', 0, '', '', '', 0, 0, 0),
    (365, 21, 3, 5, 0, 100, 0, 0, 0, '', 'repOrdersByBusUnit', 0, '', '', '', 0, 0, 0),
    (366, 21, 4, 6, 365, 100, 0, 0, 0, '', 'repOrdersByBusUnit', 0, '', '', '', 0, 1, 0),
    -- report 22
    (367, 22, 1, 1, 0, 100, 0, 1, 2, '', 'repEntityAddress', 1, '', '', '', 0, 0, 0),
    (368, 22, 2, 1, 0, 100, 0, 1, 4, '', 'repEntityAddress', 1, '', '', '', 0, 0, 1),
    (369, 22, 3, 3, 370, 100, 0, 0, 0, '#D9D9D9', '', 0, '',
     'select t.doc_month, count(*) as documents, total(t.total) as total from (select * from repDocSummary where dimension_id=8) as t',
     'group by t.doc_month order by t.doc_month', 0, 0, 0),
    (370, 22, 4, 5, 0, 100, 0, 0, 0, '', '', 0, '',
     'select t.doc_month, count(*) as documents, total(t.total) as total from (select * from repDocSummary where dimension_id=8) as t',
     'group by t.doc_month order by t.doc_month', 0, 0, 0),
    (371, 22, 5, 6, 370, 100, 0, 0, 0, '', '', 0, '',
     'select t.doc_month, count(*) as documents, total(t.total) as total from (select * from repDocSummary where dimension_id=8) as t',
     'group by t.doc_month order by t.doc_month', 0, 1, 0),
    -- report 23
    (372, 23, 1, 1, 0, 100, 0, 1, 2, '', 'repEntityAddress', 1, '', '', '', 0, 0, 0),
    (373, 23, 2, 1, 0, 100, 0, 1, 2, '', 'repEntityAddress', 1, '', '', '', 0, 0, 1),
    (374, 23, 3, 3, 375, 100, 0, 0, 0, '#D9D9D9', 'repOrdersByStatus', 1, '', '', '', 0, 0, 0),
    (375, 23, 4, 5, 0, 100, 0, 0, 0, '', 'repOrdersByStatus', 1, '', '', '', 0, 0, 0),
    (376, 23, 5, 6, 375, 100, 0, 0, 0, '', 'repOrdersByStatus', 1, '', '', '', 0, 1, 0),
    -- report 24
    (377, 24, 1, 1, 0, 100, 0, 1, 2, '', 'repEntityAddress', 1, '', '', '', 0, 0, 0),
    (378, 24, 2, 1, 0, 100, 0, 1, 2, '', 'repEntityAddress', 1, '', '', '', 0, 0, 1),
    (379, 24, 3, 3, 380, 100, 0, 0, 0, '#D9D9D9', 'repInvoicesByStatus', 1, '', '', '', 0, 0, 0),
    (380, 24, 4, 5, 0, 100, 0, 0, 0, '', 'repInvoicesByStatus', 1, '', '', '', 0, 0, 0),
    (381, 24, 5, 6, 380, 100, 0, 0, 0, '', 'repInvoicesByStatus', 1, '', '', '', 0, 1, 0),
    -- report 25
    (382, 25, 1, 1, 0, 100, 0, 1, 2, '', 'repEntityAddress', 1, '', '', '', 0, 0, 0),
    (383, 25, 2, 1, 0, 100, 0, 1, 4, '', 'repEntityAddress', 1, '', '', '', 0, 0, 1),
    (384, 25, 3, 3, 385, 100, 0, 0, 0, '#D9D9D9', '', 0, '',
     'select t.doc_month, total(t.revenue) as revenue, total(t.cost) as cost, total(t.revenue) - total(t.cost) as profit from (select * from repDocLineItems where dimension_id=8) as t',
     'group by t.doc_month order by t.doc_month', 0, 0, 0),
    (385, 25, 4, 5, 0, 100, 0, 0, 0, '', '', 0, '',
     'select t.doc_month, total(t.revenue) as revenue, total(t.cost) as cost, total(t.revenue) - total(t.cost) as profit from (select * from repDocLineItems where dimension_id=8) as t',
     'group by t.doc_month order by t.doc_month', 0, 0, 0),
    (386, 25, 5, 6, 385, 100, 0, 0, 0, '', '', 0, '',
     'select t.doc_month, total(t.revenue) as revenue, total(t.cost) as cost, total(t.revenue) - total(t.cost) as profit from (select * from repDocLineItems where dimension_id=8) as t',
     'group by t.doc_month order by t.doc_month', 0, 1, 0);

INSERT INTO rep_field (rep_field_id, rep_section_id, rep_field_row, rep_field_col,
                       rep_field_dispord, rep_field_width, rep_field_align, rep_field_textsize,
                       rep_field_bold, rep_field_field, rep_field_format, rep_field_static,
                       rep_field_heading, synonym_id, rep_field_omitzero, rep_field_runtotal,
                       rep_field_sum, rep_field_isregto) VALUES
    -- report 1
    (501, 301, 1, 1, 1, 60, 'left', 4, 1, '', '', '', '', 0, 0, 0, 0, 1),
    (502, 301, 1, 2, 1, 40, 'right', 4, 1, '', '', 'Quotation', '', 401, 0, 0, 0, 0),
    (503, 302, 1, 1, 1, 50, 'left', 2, 1, '', '', 'From', '', 402, 0, 0, 0, 0),
    (504, 302, 1, 2, 1, 50, 'left', 2, 1, '', '', 'To', '', 403, 0, 0, 0, 0),
    (505, 302, 2, 1, 1, 50, 'left', 2, 1, 'bu_name', '', '', '', 0, 0, 0, 0, 0),
    (506, 302, 2, 2, 1, 50, 'left', 2, 1, 'cust_name', '', '', '', 0, 0, 0, 0, 0),
    (507, 302, 3, 1, 1, 50, 'left', 2, 0, 'bu_postal1', '', '', '', 0, 0, 0, 0, 0),
    (508, 302, 3, 2, 1, 50, 'left', 2, 0, 'cust_postal1', '', '', '', 0, 0, 0, 0, 0),
    (509, 302, 4, 1, 1, 50, 'left', 2, 0, 'bu_postal2', '', '', '', 0, 0, 0, 0, 0),
    (510, 302, 4, 2, 1, 50, 'left', 2, 0, 'cust_postal2', '', '', '', 0, 0, 0, 0, 0),
    (511, 302, 5, 1, 1, 50, 'left', 2, 0, 'bu_postal3', '', '', '', 0, 0, 0, 0, 0),
    (512, 302, 5, 2, 1, 50, 'left', 2, 0, 'cust_postal3', '', '', '', 0, 0, 0, 0, 0),
    (513, 302, 6, 1, 1, 50, 'left', 2, 0, 'bu_pcode', '', '', '', 0, 0, 0, 0, 0),
    (514, 302, 6, 2, 1, 50, 'left', 2, 0, 'cust_pcode', '', '', '', 0, 0, 0, 0, 0),
    (515, 302, 7, 1, 1, 50, 'left', 2, 0, 'bu_tel', '', '', '', 0, 0, 0, 0, 0),
    (516, 302, 7, 2, 1, 50, 'left', 2, 0, 'cust_tel', '', '', '', 0, 0, 0, 0, 0),
    (517, 302, 8, 1, 1, 50, 'left', 2, 0, 'bu_email', '', '', '', 0, 0, 0, 0, 0),
    (518, 302, 8, 2, 1, 50, 'left', 2, 0, 'cust_email', '', '', '', 0, 0, 0, 0, 0),
    (519, 303, 1, 1, 1, 20, 'left', 2, 1, '', '', 'Reference', '', 404, 0, 0, 0, 0),
    (520, 303, 1, 2, 1, 30, 'left', 2, 0, 'doc_ref', '', '', '', 0, 0, 0, 0, 0),
    (521, 303, 1, 3, 1, 20, 'left', 2, 1, '', '', 'Date', '', 405, 0, 0, 0, 0),
    (522, 303, 1, 4, 1, 30, 'left', 2, 0, 'zlm_doc_date', '', '', '', 0, 0, 0, 0, 0),
    (523, 303, 2, 1, 1, 20, 'left', 2, 1, '', '', 'Customer reference', '', 406, 0, 0, 0, 0),
    (524, 303, 2, 2, 1, 30, 'left', 2, 0, 'cust_ref', '', '', '', 0, 0, 0, 0, 0),
    (525, 303, 2, 3, 1, 20, 'left', 2, 1, '', '', 'Status', '', 407, 0, 0, 0, 0),
    (526, 303, 2, 4, 1, 30, 'left', 2, 0, 'status', '', '', '', 0, 0, 0, 0, 0),
    (527, 303, 3, 1, 1, 20, 'left', 2, 1, '', '', 'Our tax reference', '', 408, 0, 0, 0, 0),
    (528, 303, 3, 2, 1, 30, 'left', 2, 0, 'bu_taxref', '', '', '', 0, 0, 0, 0, 0),
    (529, 303, 3, 3, 1, 20, 'left', 2, 1, '', '', 'Customer tax reference', '', 409, 0, 0, 0, 0),
    (530, 303, 3, 4, 1, 30, 'left', 2, 0, 'cust_taxref', '', '', '', 0, 0, 0, 0, 0),
    (531, 303, 4, 1, 1, 20, 'left', 2, 1, '', '', 'Description', '', 410, 0, 0, 0, 0),
    (532, 303, 4, 2, 1, 30, 'left', 2, 0, 'doc_descr', '', '', '', 0, 0, 0, 0, 0),
    (533, 305, 0, 0, 1, 10, 'left', 2, 0, 'doc_item_code', '', '', 'Code', 411, 0, 0, 0, 0),
    (534, 305, 0, 0, 2, 38, 'left', 2, 0, 'doc_item_descr', '', '', 'Description', 410, 0, 0, 0, 0),
    (535, 305, 0, 0, 3, 10, 'right', 2, 0, 'doc_item_qty', '%.2n', '', 'Quantity', 412, 0, 0, 0, 0),
    (536, 305, 0, 0, 4, 12, 'right', 2, 0, 'doc_item_rate', '%.2n', '', 'Rate', 413, 0, 0, 0, 0),
    (537, 305, 0, 0, 5, 9, 'right', 2, 0, 'doc_item_discount', '%.2n', '', 'Discount %', 414, 0, 0, 0, 0),
    (538, 305, 0, 0, 6, 9, 'right', 2, 0, 'doc_item_tax', '%.2n', '', 'Tax %', 415, 0, 0, 0, 0),
    (539, 305, 0, 0, 7, 12, 'right', 2, 0, 'doc_item_total', '%.2n', '', 'Total', 29, 0, 0, 1, 0),
    -- report 2
    (540, 307, 1, 1, 1, 60, 'left', 4, 1, '', '', '', '', 0, 0, 0, 0, 1),
    (541, 307, 1, 2, 1, 40, 'right', 4, 1, '', '', 'Order', '', 416, 0, 0, 0, 0),
    (542, 308, 1, 1, 1, 50, 'left', 2, 1, '', '', 'From', '', 402, 0, 0, 0, 0),
    (543, 308, 1, 2, 1, 50, 'left', 2, 1, '', '', 'To', '', 403, 0, 0, 0, 0),
    (544, 308, 2, 1, 1, 50, 'left', 2, 1, 'bu_name', '', '', '', 0, 0, 0, 0, 0),
    (545, 308, 2, 2, 1, 50, 'left', 2, 1, 'cust_name', '', '', '', 0, 0, 0, 0, 0),
    (546, 308, 3, 1, 1, 50, 'left', 2, 0, 'bu_postal1', '', '', '', 0, 0, 0, 0, 0),
    (547, 308, 3, 2, 1, 50, 'left', 2, 0, 'cust_postal1', '', '', '', 0, 0, 0, 0, 0),
    (548, 308, 4, 1, 1, 50, 'left', 2, 0, 'bu_postal2', '', '', '', 0, 0, 0, 0, 0),
    (549, 308, 4, 2, 1, 50, 'left', 2, 0, 'cust_postal2', '', '', '', 0, 0, 0, 0, 0),
    (550, 308, 5, 1, 1, 50, 'left', 2, 0, 'bu_postal3', '', '', '', 0, 0, 0, 0, 0),
    (551, 308, 5, 2, 1, 50, 'left', 2, 0, 'cust_postal3', '', '', '', 0, 0, 0, 0, 0),
    (552, 308, 6, 1, 1, 50, 'left', 2, 0, 'bu_pcode', '', '', '', 0, 0, 0, 0, 0),
    (553, 308, 6, 2, 1, 50, 'left', 2, 0, 'cust_pcode', '', '', '', 0, 0, 0, 0, 0),
    (554, 308, 7, 1, 1, 50, 'left', 2, 0, 'bu_tel', '', '', '', 0, 0, 0, 0, 0),
    (555, 308, 7, 2, 1, 50, 'left', 2, 0, 'cust_tel', '', '', '', 0, 0, 0, 0, 0),
    (556, 308, 8, 1, 1, 50, 'left', 2, 0, 'bu_email', '', '', '', 0, 0, 0, 0, 0),
    (557, 308, 8, 2, 1, 50, 'left', 2, 0, 'cust_email', '', '', '', 0, 0, 0, 0, 0),
    (558, 309, 1, 1, 1, 20, 'left', 2, 1, '', '', 'Reference', '', 404, 0, 0, 0, 0),
    (559, 309, 1, 2, 1, 30, 'left', 2, 0, 'doc_ref', '', '', '', 0, 0, 0, 0, 0),
    (560, 309, 1, 3, 1, 20, 'left', 2, 1, '', '', 'Date', '', 405, 0, 0, 0, 0),
    (561, 309, 1, 4, 1, 30, 'left', 2, 0, 'zlm_doc_date', '', '', '', 0, 0, 0, 0, 0),
    (562, 309, 2, 1, 1, 20, 'left', 2, 1, '', '', 'Customer reference', '', 406, 0, 0, 0, 0),
    (563, 309, 2, 2, 1, 30, 'left', 2, 0, 'cust_ref', '', '', '', 0, 0, 0, 0, 0),
    (564, 309, 2, 3, 1, 20, 'left', 2, 1, '', '', 'Status', '', 407, 0, 0, 0, 0),
    (565, 309, 2, 4, 1, 30, 'left', 2, 0, 'status', '', '', '', 0, 0, 0, 0, 0),
    (566, 309, 3, 1, 1, 20, 'left', 2, 1, '', '', 'Our tax reference', '', 408, 0, 0, 0, 0),
    (567, 309, 3, 2, 1, 30, 'left', 2, 0, 'bu_taxref', '', '', '', 0, 0, 0, 0, 0),
    (568, 309, 3, 3, 1, 20, 'left', 2, 1, '', '', 'Customer tax reference', '', 409, 0, 0, 0, 0),
    (569, 309, 3, 4, 1, 30, 'left', 2, 0, 'cust_taxref', '', '', '', 0, 0, 0, 0, 0),
    (570, 309, 4, 1, 1, 20, 'left', 2, 1, '', '', 'Description', '', 410, 0, 0, 0, 0),
    (571, 309, 4, 2, 1, 30, 'left', 2, 0, 'doc_descr', '', '', '', 0, 0, 0, 0, 0),
    (572, 311, 0, 0, 1, 10, 'left', 2, 0, 'doc_item_code', '', '', 'Code', 411, 0, 0, 0, 0),
    (573, 311, 0, 0, 2, 38, 'left', 2, 0, 'doc_item_descr', '', '', 'Description', 410, 0, 0, 0, 0),
    (574, 311, 0, 0, 3, 10, 'right', 2, 0, 'doc_item_qty', '%.2n', '', 'Quantity', 412, 0, 0, 0, 0),
    (575, 311, 0, 0, 4, 12, 'right', 2, 0, 'doc_item_rate', '%.2n', '', 'Rate', 413, 0, 0, 0, 0),
    (576, 311, 0, 0, 5, 9, 'right', 2, 0, 'doc_item_discount', '%.2n', '', 'Discount %', 414, 0, 0, 0, 0),
    (577, 311, 0, 0, 6, 9, 'right', 2, 0, 'doc_item_tax', '%.2n', '', 'Tax %', 415, 0, 0, 0, 0),
    (578, 311, 0, 0, 7, 12, 'right', 2, 0, 'doc_item_total', '%.2n', '', 'Total', 29, 0, 0, 1, 0),
    -- report 3
    (579, 313, 1, 1, 1, 60, 'left', 4, 1, '', '', '', '', 0, 0, 0, 0, 1),
    (580, 313, 1, 2, 1, 40, 'right', 4, 1, '', '', 'Invoice', '', 417, 0, 0, 0, 0),
    (581, 314, 1, 1, 1, 50, 'left', 2, 1, '', '', 'From', '', 402, 0, 0, 0, 0),
    (582, 314, 1, 2, 1, 50, 'left', 2, 1, '', '', 'To', '', 403, 0, 0, 0, 0),
    (583, 314, 2, 1, 1, 50, 'left', 2, 1, 'bu_name', '', '', '', 0, 0, 0, 0, 0),
    (584, 314, 2, 2, 1, 50, 'left', 2, 1, 'cust_name', '', '', '', 0, 0, 0, 0, 0),
    (585, 314, 3, 1, 1, 50, 'left', 2, 0, 'bu_postal1', '', '', '', 0, 0, 0, 0, 0),
    (586, 314, 3, 2, 1, 50, 'left', 2, 0, 'cust_postal1', '', '', '', 0, 0, 0, 0, 0),
    (587, 314, 4, 1, 1, 50, 'left', 2, 0, 'bu_postal2', '', '', '', 0, 0, 0, 0, 0),
    (588, 314, 4, 2, 1, 50, 'left', 2, 0, 'cust_postal2', '', '', '', 0, 0, 0, 0, 0),
    (589, 314, 5, 1, 1, 50, 'left', 2, 0, 'bu_postal3', '', '', '', 0, 0, 0, 0, 0),
    (590, 314, 5, 2, 1, 50, 'left', 2, 0, 'cust_postal3', '', '', '', 0, 0, 0, 0, 0),
    (591, 314, 6, 1, 1, 50, 'left', 2, 0, 'bu_pcode', '', '', '', 0, 0, 0, 0, 0),
    (592, 314, 6, 2, 1, 50, 'left', 2, 0, 'cust_pcode', '', '', '', 0, 0, 0, 0, 0),
    (593, 314, 7, 1, 1, 50, 'left', 2, 0, 'bu_tel', '', '', '', 0, 0, 0, 0, 0),
    (594, 314, 7, 2, 1, 50, 'left', 2, 0, 'cust_tel', '', '', '', 0, 0, 0, 0, 0),
    (595, 314, 8, 1, 1, 50, 'left', 2, 0, 'bu_email', '', '', '', 0, 0, 0, 0, 0),
    (596, 314, 8, 2, 1, 50, 'left', 2, 0, 'cust_email', '', '', '', 0, 0, 0, 0, 0),
    (597, 315, 1, 1, 1, 20, 'left', 2, 1, '', '', 'Reference', '', 404, 0, 0, 0, 0),
    (598, 315, 1, 2, 1, 30, 'left', 2, 0, 'doc_ref', '', '', '', 0, 0, 0, 0, 0),
    (599, 315, 1, 3, 1, 20, 'left', 2, 1, '', '', 'Date', '', 405, 0, 0, 0, 0),
    (600, 315, 1, 4, 1, 30, 'left', 2, 0, 'zlm_doc_date', '', '', '', 0, 0, 0, 0, 0),
    (601, 315, 2, 1, 1, 20, 'left', 2, 1, '', '', 'Customer reference', '', 406, 0, 0, 0, 0),
    (602, 315, 2, 2, 1, 30, 'left', 2, 0, 'cust_ref', '', '', '', 0, 0, 0, 0, 0),
    (603, 315, 2, 3, 1, 20, 'left', 2, 1, '', '', 'Status', '', 407, 0, 0, 0, 0),
    (604, 315, 2, 4, 1, 30, 'left', 2, 0, 'status', '', '', '', 0, 0, 0, 0, 0),
    (605, 315, 3, 1, 1, 20, 'left', 2, 1, '', '', 'Our tax reference', '', 408, 0, 0, 0, 0),
    (606, 315, 3, 2, 1, 30, 'left', 2, 0, 'bu_taxref', '', '', '', 0, 0, 0, 0, 0),
    (607, 315, 3, 3, 1, 20, 'left', 2, 1, '', '', 'Customer tax reference', '', 409, 0, 0, 0, 0),
    (608, 315, 3, 4, 1, 30, 'left', 2, 0, 'cust_taxref', '', '', '', 0, 0, 0, 0, 0),
    (609, 315, 4, 1, 1, 20, 'left', 2, 1, '', '', 'Description', '', 410, 0, 0, 0, 0),
    (610, 315, 4, 2, 1, 30, 'left', 2, 0, 'doc_descr', '', '', '', 0, 0, 0, 0, 0),
    (611, 317, 0, 0, 1, 10, 'left', 2, 0, 'doc_item_code', '', '', 'Code', 411, 0, 0, 0, 0),
    (612, 317, 0, 0, 2, 38, 'left', 2, 0, 'doc_item_descr', '', '', 'Description', 410, 0, 0, 0, 0),
    (613, 317, 0, 0, 3, 10, 'right', 2, 0, 'doc_item_qty', '%.2n', '', 'Quantity', 412, 0, 0, 0, 0),
    (614, 317, 0, 0, 4, 12, 'right', 2, 0, 'doc_item_rate', '%.2n', '', 'Rate', 413, 0, 0, 0, 0),
    (615, 317, 0, 0, 5, 9, 'right', 2, 0, 'doc_item_discount', '%.2n', '', 'Discount %', 414, 0, 0, 0, 0),
    (616, 317, 0, 0, 6, 9, 'right', 2, 0, 'doc_item_tax', '%.2n', '', 'Tax %', 415, 0, 0, 0, 0),
    (617, 317, 0, 0, 7, 12, 'right', 2, 0, 'doc_item_total', '%.2n', '', 'Total', 29, 0, 0, 1, 0),
    -- report 4
    (618, 319, 1, 1, 1, 60, 'left', 4, 1, '', '', '', '', 0, 0, 0, 0, 1),
    (619, 319, 1, 2, 1, 40, 'right', 4, 1, '', '', 'Bill of materials', '', 418, 0, 0, 0, 0),
    (620, 320, 1, 1, 1, 20, 'left', 2, 1, '', '', 'Reference', '', 404, 0, 0, 0, 0),
    (621, 320, 1, 2, 1, 30, 'left', 2, 0, 'doc_ref', '', '', '', 0, 0, 0, 0, 0),
    (622, 320, 1, 3, 1, 20, 'left', 2, 1, '', '', 'Date', '', 405, 0, 0, 0, 0),
    (623, 320, 1, 4, 1, 30, 'left', 2, 0, 'zlm_doc_date', '', '', '', 0, 0, 0, 0, 0),
    (624, 320, 2, 1, 1, 20, 'left', 2, 1, '', '', 'Customer', '', 419, 0, 0, 0, 0),
    (625, 320, 2, 2, 1, 30, 'left', 2, 0, 'cust_name', '', '', '', 0, 0, 0, 0, 0),
    (626, 320, 2, 3, 1, 20, 'left', 2, 1, '', '', 'Description', '', 410, 0, 0, 0, 0),
    (627, 320, 2, 4, 1, 30, 'left', 2, 0, 'doc_descr', '', '', '', 0, 0, 0, 0, 0),
    (628, 322, 0, 0, 1, 20, 'left', 2, 0, 'bom_code', '', '', 'Code', 411, 0, 0, 0, 0),
    (629, 322, 0, 0, 2, 50, 'left', 2, 0, 'bom_descr', '', '', 'Description', 410, 0, 0, 0, 0),
    (630, 322, 0, 0, 3, 15, 'left', 2, 0, 'bom_units', '', '', 'Units', 420, 0, 0, 0, 0),
    (631, 322, 0, 0, 4, 15, 'right', 2, 0, 'bom_qty', '%.2n', '', 'Quantity', 412, 0, 0, 0, 0),
    -- report 10
    (632, 323, 1, 1, 1, 60, 'left', 4, 1, '', '', '', '', 0, 0, 0, 0, 1),
    (633, 323, 1, 2, 1, 40, 'right', 4, 1, '', '', 'Summarized orders by customer', '', 423, 0, 0, 0, 0),
    (634, 324, 1, 1, 1, 25, 'left', 2, 1, '', '', 'Business unit', '', 424, 0, 0, 0, 0),
    (635, 324, 1, 2, 1, 75, 'left', 2, 0, 'entity_name', '', '', '', 0, 0, 0, 0, 0),
    (636, 326, 0, 0, 1, 50, 'left', 2, 0, 'customer', '', '', 'Customer', 419, 0, 0, 0, 0),
    (637, 326, 0, 0, 2, 20, 'right', 2, 0, 'orders', '%.0n', '', 'Orders', 421, 0, 0, 1, 0),
    (638, 326, 0, 0, 3, 30, 'right', 2, 0, 'total', '%.2n', '', 'Value', 422, 0, 0, 1, 0),
    -- report 11
    (639, 328, 1, 1, 1, 60, 'left', 4, 1, '', '', '', '', 0, 0, 0, 0, 1),
    (640, 328, 1, 2, 1, 40, 'right', 4, 1, '', '', 'Component orders by time period', '', 433, 0, 0, 0, 0),
    (641, 329, 1, 1, 1, 15, 'left', 2, 1, '', '', 'From', '', 402, 0, 0, 0, 0),
    (642, 329, 1, 2, 1, 35, 'left', 2, 0, '_start_date', '', '', '', 0, 0, 0, 0, 0),
    (643, 329, 1, 3, 1, 15, 'left', 2, 1, '', '', 'To', '', 403, 0, 0, 0, 0),
    (644, 329, 1, 4, 1, 35, 'left', 2, 0, '_end_date', '', '', '', 0, 0, 0, 0, 0),
    (645, 331, 0, 0, 1, 15, 'left', 2, 0, 'item_code', '', '', 'Code', 411, 0, 0, 0, 0),
    (646, 331, 0, 0, 2, 40, 'left', 2, 0, 'item_descr', '', '', 'Description', 410, 0, 0, 0, 0),
    (647, 331, 0, 0, 3, 10, 'right', 2, 0, 'orders', '%.0n', '', 'Orders', 421, 0, 0, 0, 0),
    (648, 331, 0, 0, 4, 15, 'right', 2, 0, 'quantity', '%.2n', '', 'Quantity', 412, 0, 0, 0, 0),
    (649, 331, 0, 0, 5, 20, 'right', 2, 0, 'total', '%.2n', '', 'Value', 422, 0, 0, 1, 0),
    -- report 12
    (650, 333, 1, 1, 1, 60, 'left', 4, 1, '', '', '', '', 0, 0, 0, 0, 1),
    (651, 333, 1, 2, 1, 40, 'right', 4, 1, '', '', 'Service orders by time period', '', 434, 0, 0, 0, 0),
    (652, 334, 1, 1, 1, 15, 'left', 2, 1, '', '', 'From', '', 402, 0, 0, 0, 0),
    (653, 334, 1, 2, 1, 35, 'left', 2, 0, '_start_date', '', '', '', 0, 0, 0, 0, 0),
    (654, 334, 1, 3, 1, 15, 'left', 2, 1, '', '', 'To', '', 403, 0, 0, 0, 0),
    (655, 334, 1, 4, 1, 35, 'left', 2, 0, '_end_date', '', '', '', 0, 0, 0, 0, 0),
    (656, 336, 0, 0, 1, 15, 'left', 2, 0, 'item_code', '', '', 'Code', 411, 0, 0, 0, 0),
    (657, 336, 0, 0, 2, 40, 'left', 2, 0, 'item_descr', '', '', 'Description', 410, 0, 0, 0, 0),
    (658, 336, 0, 0, 3, 10, 'right', 2, 0, 'orders', '%.0n', '', 'Orders', 421, 0, 0, 0, 0),
    (659, 336, 0, 0, 4, 15, 'right', 2, 0, 'quantity', '%.2n', '', 'Quantity', 412, 0, 0, 0, 0),
    (660, 336, 0, 0, 5, 20, 'right', 2, 0, 'total', '%.2n', '', 'Value', 422, 0, 0, 1, 0),
    -- report 13
    (661, 338, 1, 1, 1, 60, 'left', 4, 1, '', '', '', '', 0, 0, 0, 0, 1),
    (662, 338, 1, 2, 1, 40, 'right', 4, 1, '', '', 'Assembly orders by time period', '', 435, 0, 0, 0, 0),
    (663, 339, 1, 1, 1, 15, 'left', 2, 1, '', '', 'From', '', 402, 0, 0, 0, 0),
    (664, 339, 1, 2, 1, 35, 'left', 2, 0, '_start_date', '', '', '', 0, 0, 0, 0, 0),
    (665, 339, 1, 3, 1, 15, 'left', 2, 1, '', '', 'To', '', 403, 0, 0, 0, 0),
    (666, 339, 1, 4, 1, 35, 'left', 2, 0, '_end_date', '', '', '', 0, 0, 0, 0, 0),
    (667, 341, 0, 0, 1, 15, 'left', 2, 0, 'item_code', '', '', 'Code', 411, 0, 0, 0, 0),
    (668, 341, 0, 0, 2, 40, 'left', 2, 0, 'item_descr', '', '', 'Description', 410, 0, 0, 0, 0),
    (669, 341, 0, 0, 3, 10, 'right', 2, 0, 'orders', '%.0n', '', 'Orders', 421, 0, 0, 0, 0),
    (670, 341, 0, 0, 4, 15, 'right', 2, 0, 'quantity', '%.2n', '', 'Quantity', 412, 0, 0, 0, 0),
    (671, 341, 0, 0, 5, 20, 'right', 2, 0, 'total', '%.2n', '', 'Value', 422, 0, 0, 1, 0),
    -- report 15
    (672, 343, 1, 1, 1, 60, 'left', 4, 1, '', '', '', '', 0, 0, 0, 0, 1),
    (673, 343, 1, 2, 1, 40, 'right', 4, 1, '', '', 'Summarized orders by period', '', 438, 0, 0, 0, 0),
    (674, 344, 1, 1, 1, 15, 'left', 2, 1, '', '', 'From', '', 402, 0, 0, 0, 0),
    (675, 344, 1, 2, 1, 35, 'left', 2, 0, '_start_date', '', '', '', 0, 0, 0, 0, 0),
    (676, 344, 1, 3, 1, 15, 'left', 2, 1, '', '', 'To', '', 403, 0, 0, 0, 0),
    (677, 344, 1, 4, 1, 35, 'left', 2, 0, '_end_date', '', '', '', 0, 0, 0, 0, 0),
    (678, 346, 0, 0, 1, 25, 'left', 2, 0, 'doc_month', '', '', 'Month', 436, 0, 0, 0, 0),
    (679, 346, 0, 0, 2, 15, 'right', 2, 0, 'documents', '%.0n', '', 'Orders', 421, 0, 0, 1, 0),
    (680, 346, 0, 0, 3, 30, 'right', 2, 0, 'total', '%.2n', '', 'Value', 422, 0, 0, 1, 0),
    (681, 346, 0, 0, 4, 30, 'right', 2, 0, 'total', '%.2n', '', 'Cumulative value', 437, 0, 1, 0, 0),
    -- report 17
    (682, 348, 1, 1, 1, 60, 'left', 4, 1, '', '', '', '', 0, 0, 0, 0, 1),
    (683, 348, 1, 2, 1, 40, 'right', 4, 1, '', '', 'Summarized quotations by time period', '', 439, 0, 0, 0, 0),
    (684, 349, 1, 1, 1, 15, 'left', 2, 1, '', '', 'From', '', 402, 0, 0, 0, 0),
    (685, 349, 1, 2, 1, 35, 'left', 2, 0, '_start_date', '', '', '', 0, 0, 0, 0, 0),
    (686, 349, 1, 3, 1, 15, 'left', 2, 1, '', '', 'To', '', 403, 0, 0, 0, 0),
    (687, 349, 1, 4, 1, 35, 'left', 2, 0, '_end_date', '', '', '', 0, 0, 0, 0, 0),
    (688, 351, 0, 0, 1, 25, 'left', 2, 0, 'doc_month', '', '', 'Month', 436, 0, 0, 0, 0),
    (689, 351, 0, 0, 2, 15, 'right', 2, 0, 'documents', '%.0n', '', 'Quotations', 425, 0, 0, 1, 0),
    (690, 351, 0, 0, 3, 30, 'right', 2, 0, 'total', '%.2n', '', 'Value', 422, 0, 0, 1, 0),
    (691, 351, 0, 0, 4, 30, 'right', 2, 0, 'total', '%.2n', '', 'Cumulative value', 437, 0, 1, 0, 0),
    -- report 18
    (692, 353, 1, 1, 1, 60, 'left', 4, 1, '', '', '', '', 0, 0, 0, 0, 1),
    (693, 353, 1, 2, 1, 40, 'right', 4, 1, '', '', 'Summarized quotations by status', '', 426, 0, 0, 0, 0),
    (694, 354, 1, 1, 1, 25, 'left', 2, 1, '', '', 'Business unit', '', 424, 0, 0, 0, 0),
    (695, 354, 1, 2, 1, 75, 'left', 2, 0, 'entity_name', '', '', '', 0, 0, 0, 0, 0),
    (696, 356, 0, 0, 1, 50, 'left', 2, 0, 'status', '', '', 'Status', 407, 0, 0, 0, 0),
    (697, 356, 0, 0, 2, 20, 'right', 2, 0, 'documents', '%.0n', '', 'Quotations', 425, 0, 0, 1, 0),
    (698, 356, 0, 0, 3, 30, 'right', 2, 0, 'total', '%.2n', '', 'Value', 422, 0, 0, 1, 0),
    -- report 19
    (699, 358, 1, 1, 1, 60, 'left', 4, 1, '', '', '', '', 0, 0, 0, 0, 1),
    (700, 358, 1, 2, 1, 40, 'right', 4, 1, '', '', 'Summarized quotations by system user', '', 428, 0, 0, 0, 0),
    (701, 359, 1, 1, 1, 25, 'left', 2, 1, '', '', 'Business unit', '', 424, 0, 0, 0, 0),
    (702, 359, 1, 2, 1, 75, 'left', 2, 0, 'entity_name', '', '', '', 0, 0, 0, 0, 0),
    (703, 361, 0, 0, 1, 50, 'left', 2, 0, 'system_user', '', '', 'System user', 427, 0, 0, 0, 0),
    (704, 361, 0, 0, 2, 20, 'right', 2, 0, 'quotations', '%.0n', '', 'Quotations', 425, 0, 0, 0, 0),
    (705, 361, 0, 0, 3, 30, 'right', 2, 0, 'total', '%.2n', '', 'Value', 422, 0, 0, 1, 0),
    -- report 21
    (706, 363, 1, 1, 1, 60, 'left', 4, 1, '', '', '', '', 0, 0, 0, 0, 1),
    (707, 363, 1, 2, 1, 40, 'right', 4, 1, '', '', 'Summarized orders by business unit', '', 429, 0, 0, 0, 0),
    (708, 365, 0, 0, 1, 50, 'left', 2, 0, 'business_unit', '', '', 'Business unit', 424, 0, 0, 0, 0),
    (709, 365, 0, 0, 2, 20, 'right', 2, 0, 'orders', '%.0n', '', 'Orders', 421, 0, 0, 1, 0),
    (710, 365, 0, 0, 3, 30, 'right', 2, 0, 'total', '%.2n', '', 'Value', 422, 0, 0, 1, 0),
    -- report 22
    (711, 367, 1, 1, 1, 60, 'left', 4, 1, '', '', '', '', 0, 0, 0, 0, 1),
    (712, 367, 1, 2, 1, 40, 'right', 4, 1, '', '', 'Summarized invoices by period', '', 440, 0, 0, 0, 0),
    (713, 368, 1, 1, 1, 15, 'left', 2, 1, '', '', 'From', '', 402, 0, 0, 0, 0),
    (714, 368, 1, 2, 1, 35, 'left', 2, 0, '_start_date', '', '', '', 0, 0, 0, 0, 0),
    (715, 368, 1, 3, 1, 15, 'left', 2, 1, '', '', 'To', '', 403, 0, 0, 0, 0),
    (716, 368, 1, 4, 1, 35, 'left', 2, 0, '_end_date', '', '', '', 0, 0, 0, 0, 0),
    (717, 370, 0, 0, 1, 25, 'left', 2, 0, 'doc_month', '', '', 'Month', 436, 0, 0, 0, 0),
    (718, 370, 0, 0, 2, 15, 'right', 2, 0, 'documents', '%.0n', '', 'Invoices', 431, 0, 0, 1, 0),
    (719, 370, 0, 0, 3, 30, 'right', 2, 0, 'total', '%.2n', '', 'Value', 422, 0, 0, 1, 0),
    (720, 370, 0, 0, 4, 30, 'right', 2, 0, 'total', '%.2n', '', 'Cumulative value', 437, 0, 1, 0, 0),
    -- report 23
    (721, 372, 1, 1, 1, 60, 'left', 4, 1, '', '', '', '', 0, 0, 0, 0, 1),
    (722, 372, 1, 2, 1, 40, 'right', 4, 1, '', '', 'Summarized orders by status', '', 430, 0, 0, 0, 0),
    (723, 373, 1, 1, 1, 25, 'left', 2, 1, '', '', 'Business unit', '', 424, 0, 0, 0, 0),
    (724, 373, 1, 2, 1, 75, 'left', 2, 0, 'entity_name', '', '', '', 0, 0, 0, 0, 0),
    (725, 375, 0, 0, 1, 50, 'left', 2, 0, 'status', '', '', 'Status', 407, 0, 0, 0, 0),
    (726, 375, 0, 0, 2, 20, 'right', 2, 0, 'documents', '%.0n', '', 'Orders', 421, 0, 0, 1, 0),
    (727, 375, 0, 0, 3, 30, 'right', 2, 0, 'total', '%.2n', '', 'Value', 422, 0, 0, 1, 0),
    -- report 24
    (728, 377, 1, 1, 1, 60, 'left', 4, 1, '', '', '', '', 0, 0, 0, 0, 1),
    (729, 377, 1, 2, 1, 40, 'right', 4, 1, '', '', 'Summarized invoices by status', '', 432, 0, 0, 0, 0),
    (730, 378, 1, 1, 1, 25, 'left', 2, 1, '', '', 'Business unit', '', 424, 0, 0, 0, 0),
    (731, 378, 1, 2, 1, 75, 'left', 2, 0, 'entity_name', '', '', '', 0, 0, 0, 0, 0),
    (732, 380, 0, 0, 1, 50, 'left', 2, 0, 'status', '', '', 'Status', 407, 0, 0, 0, 0),
    (733, 380, 0, 0, 2, 20, 'right', 2, 0, 'documents', '%.0n', '', 'Invoices', 431, 0, 0, 1, 0),
    (734, 380, 0, 0, 3, 30, 'right', 2, 0, 'total', '%.2n', '', 'Value', 422, 0, 0, 1, 0),
    -- report 25
    (735, 382, 1, 1, 1, 60, 'left', 4, 1, '', '', '', '', 0, 0, 0, 0, 1),
    (736, 382, 1, 2, 1, 40, 'right', 4, 1, '', '', 'Profit / Loss Report by period', '', 445, 0, 0, 0, 0),
    (737, 383, 1, 1, 1, 15, 'left', 2, 1, '', '', 'From', '', 402, 0, 0, 0, 0),
    (738, 383, 1, 2, 1, 35, 'left', 2, 0, '_start_date', '', '', '', 0, 0, 0, 0, 0),
    (739, 383, 1, 3, 1, 15, 'left', 2, 1, '', '', 'To', '', 403, 0, 0, 0, 0),
    (740, 383, 1, 4, 1, 35, 'left', 2, 0, '_end_date', '', '', '', 0, 0, 0, 0, 0),
    (741, 385, 0, 0, 1, 20, 'left', 2, 0, 'doc_month', '', '', 'Month', 436, 0, 0, 0, 0),
    (742, 385, 0, 0, 2, 20, 'right', 2, 0, 'revenue', '%.2n', '', 'Revenue', 441, 0, 0, 1, 0),
    (743, 385, 0, 0, 3, 20, 'right', 2, 0, 'cost', '%.2n', '', 'Cost', 442, 0, 0, 1, 0),
    (744, 385, 0, 0, 4, 20, 'right', 2, 0, 'profit', '%.2n', '', 'Profit / Loss', 443, 0, 0, 1, 0),
    (745, 385, 0, 0, 5, 20, 'right', 2, 0, 'profit', '%.2n', '', 'Cumulative profit / loss', 444, 0, 1, 0, 0);

INSERT INTO synonym (synonym_id, synonym_term, synonym_local) VALUES
    (29, 'Total', 'Total'),
    (401, 'Quotation', 'Quotation'),
    (402, 'From', 'From'),
    (403, 'To', 'To'),
    (404, 'Reference', 'Reference'),
    (405, 'Date', 'Date'),
    (406, 'Customer reference', 'Customer reference'),
    (407, 'Status', 'Status'),
    (408, 'Our tax reference', 'Our tax reference'),
    (409, 'Customer tax reference', 'Customer tax reference'),
    (410, 'Description', 'Description'),
    (411, 'Code', 'Code'),
    (412, 'Quantity', 'Quantity'),
    (413, 'Rate', 'Rate'),
    (414, 'Discount %', 'Discount %'),
    (415, 'Tax %', 'Tax %'),
    (416, 'Order', 'Order'),
    (417, 'Invoice', 'Invoice'),
    (418, 'Bill of materials', 'Bill of materials'),
    (419, 'Customer', 'Customer'),
    (420, 'Units', 'Units'),
    (421, 'Orders', 'Orders'),
    (422, 'Value', 'Value'),
    (423, 'Summarized orders by customer', 'Summarized orders by customer'),
    (424, 'Business unit', 'Business unit'),
    (425, 'Quotations', 'Quotations'),
    (426, 'Summarized quotations by status', 'Summarized quotations by status'),
    (427, 'System user', 'System user'),
    (428, 'Summarized quotations by system user', 'Summarized quotations by system user'),
    (429, 'Summarized orders by business unit', 'Summarized orders by business unit'),
    (430, 'Summarized orders by status', 'Summarized orders by status'),
    (431, 'Invoices', 'Invoices'),
    (432, 'Summarized invoices by status', 'Summarized invoices by status'),
    (433, 'Component orders by time period', 'Component orders by time period'),
    (434, 'Service orders by time period', 'Service orders by time period'),
    (435, 'Assembly orders by time period', 'Assembly orders by time period'),
    (436, 'Month', 'Month'),
    (437, 'Cumulative value', 'Cumulative value'),
    (438, 'Summarized orders by period', 'Summarized orders by period'),
    (439, 'Summarized quotations by time period', 'Summarized quotations by time period'),
    (440, 'Summarized invoices by period', 'Summarized invoices by period'),
    (441, 'Revenue', 'Revenue'),
    (442, 'Cost', 'Cost'),
    (443, 'Profit / Loss', 'Profit / Loss'),
    (444, 'Cumulative profit / loss', 'Cumulative profit / loss'),
    (445, 'Profit / Loss Report by period', 'Profit / Loss Report by period');

-- Charts. Types 1 read the value of invoices (actual), quotations, orders or invoices by
-- month from a view of the main database, limited to the chosen months by its column ym;
-- the forecast comes from repForecastItems. Type 3 is the statement graph_rep_table, a
-- blank and graph_rep_table2, giving a label and a value per slice.
INSERT INTO graph_rep (graph_rep_id, graph_rep_type, graph_rep_title, graph_rep_table,
                       graph_rep_table2, graph_rep_ymfield) VALUES
    (1, 1, 'Forecast vs Actual', 'repInvoiceYM', '', 'ym'),
    (2, 1, 'Quotations vs Forecast by year and month', 'repQuotationYM', '', 'ym'),
    (3, 1, 'Orders vs Forecast by year and month', 'repOrderYM', '', 'ym'),
    (4, 1, 'Invoices vs Forecast by year and month', 'repInvoiceYM', '', 'ym'),
    (5, 3, 'Billable item breakdown', 'select item, total from repOrderBreakdown',
        'order by total desc, item', '');

COMMIT;
