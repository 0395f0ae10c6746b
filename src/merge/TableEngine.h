#pragma once

class TAppContext;

// Makes the context's record sources tables of this engine (TTable: Paradox, dBase and
// delimited text files) and links cards to the address book through the address table.
// Called at start-up and by batch commands.
void InstallTableEngine(TAppContext& context);
