-- Zelmar local database (db/zlmlocal.dat): the settings of this machine and the audit log.
-- Keys come from the counter of the main database; text compares without regard to case.

BEGIN TRANSACTION;

-- The one settings row (no key column). config_firstflag 0 makes the first start set the
-- database path and the document repository to the user's data folder. The repository
-- numbers its output folders from config_curdocdir (folder 0000000000 is installed) and
-- counts the paths issued in the current folder in config_doccounter.
CREATE TABLE config (
    config_dbpath VARCHAR(250) COLLATE NOCASE,
    config_docrepository VARCHAR(250) COLLATE NOCASE,
    config_firstflag INTEGER,
    config_doccounter INTEGER,
    config_curdocdir INTEGER,
    config_reminddays INTEGER,
    config_reportfont VARCHAR(50) COLLATE NOCASE,
    config_minussymbol VARCHAR(1) COLLATE NOCASE,
    config_emailsender VARCHAR(50) COLLATE NOCASE,
    config_smtpserver VARCHAR(150) COLLATE NOCASE,
    config_smtpuser VARCHAR(50) COLLATE NOCASE,
    config_smtppwd VARCHAR(50) COLLATE NOCASE,
    config_smtpport INTEGER,
    config_quotemesg MEMO COLLATE NOCASE,
    config_ordermesg MEMO COLLATE NOCASE,
    config_invoicemesg MEMO COLLATE NOCASE,
    config_entityf1 VARCHAR(50) COLLATE NOCASE,
    config_entityf2 VARCHAR(50) COLLATE NOCASE,
    config_entityf3 VARCHAR(50) COLLATE NOCASE,
    config_entityf4 VARCHAR(50) COLLATE NOCASE,
    config_entityf5 VARCHAR(50) COLLATE NOCASE
);

-- One row per login, failed login, deletion and program end. audit_dt is the local
-- date and time as text "yyyy/MM/dd hh:mm:ss".
CREATE TABLE audit (
    audit_id INTEGER PRIMARY KEY,
    audit_dt VARCHAR(30) COLLATE NOCASE,
    audit_descr VARCHAR(50) COLLATE NOCASE,
    audit_extra VARCHAR(250) COLLATE NOCASE,
    sys_user_id INTEGER,
    dimension_id INTEGER,
    record_id INTEGER
);

INSERT INTO config (config_dbpath, config_docrepository, config_firstflag, config_doccounter,
                    config_curdocdir, config_reminddays, config_reportfont, config_minussymbol,
                    config_emailsender, config_smtpserver, config_smtpuser, config_smtppwd,
                    config_smtpport, config_quotemesg, config_ordermesg, config_invoicemesg,
                    config_entityf1, config_entityf2, config_entityf3, config_entityf4,
                    config_entityf5)
VALUES ('', '', 0, 0, 0, 7, 'Arial', '-', 'Default mail client', '', '', '', 25,
        'This quotation is valid for 30 days from its date.',
        'Thank you for your order.',
        'Payment is due within 30 days of the invoice date. Thank you for your business.',
        'Custom field 1', 'Custom field 2', 'Custom field 3', 'Custom field 4',
        'Custom field 5');

COMMIT;
