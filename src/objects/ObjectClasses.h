#pragma once

// Registers every class a document file may name (documents, pages, panels, every object
// kind, the personalization codes, the tables and the template index), with the old name of
// the headline.
void RegisterDocumentClasses();
