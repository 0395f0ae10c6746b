#pragma once

// Registers every class a document file may name (documents, pages, panels, every object
// kind, the personalization codes and the tables), with the old name of the headline.
void RegisterDocumentClasses();
