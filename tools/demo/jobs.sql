-- The demo's jobs: a label job of a courier the worker does not handle, a header without the
-- asked row, and a manifest of a courier without manifests.
INSERT INTO VORLABT (ID, TRASPORTATORE, MITT_RAGSOC, DEST_RAGSOC, DEST_CITTA)
  VALUES (1, 'UPS', 'Vorlab S.r.l.', 'Rossi & Figli', 'Bologna');
INSERT INTO VORLABR (TESTATA, RIGA, NUMERO_SEGNA_COLLO) VALUES (1, 1, '1');
INSERT INTO MANIFESTT (ID, TRASPORTATORE) VALUES (1, 'BRT');
INSERT INTO MANIFESTR (TESTATA, TESTATASPEDIZIONE) VALUES (1, 1);
COMMIT;
