#include "data/catalog.h"

#include <algorithm>

#include "base/paths.h"

namespace rh {

namespace {

constexpr ModuleInfo kModules[kModuleCount] = {
    {0, "General Ledger", "QZGL"},
    {1, "Accounts Payable", "QZAP"},
    {2, "Payroll", "QZPR"},
    {3, "Accounts Receivable", "QZAR"},
    {4, "Inventory Control", "QZIN"},
    {5, "Purchase Orders", "QZPO"},
    {6, "Point of Sale", "QZPS"},
    {7, "Billing", "QZBL"},
    {8, "Order Entry", "QZOE"},
    {9, "Job Cost", "QZJC"},
    {10, "Customer Information", "QZCI"},
    {11, "Bank Reconciliation", "QZBR"},
    {12, "Quick Sale - Store", "QZQS"},
    {13, "Quick Sale - Office", "QZQO"},
    {14, "Time Billing", "QZTB"},
    {15, "Corvane", "QZCV"},
    {16, "Fixed Assets", "QZFA"},
};

constexpr DataFileInfo kDataFiles[] = {
    // General Ledger
    {0, 1, "Chart of Accounts Master"},
    {0, 2, "Chart of Accounts Totals"},
    {0, 4, "Recurring Entry Master"},
    {0, 5, "Postings File"},
    {0, 6, "Format Master"},
    {0, 7, "Employee Master"},
    {0, 8, "Statement of Cash Flow Master"},
    {0, 9, "Historical Postings"},
    // Accounts Payable
    {1, 1, "Vendor Master"},
    {1, 3, "Invoice Master"},
    {1, 4, "Check Master"},
    {1, 5, "Check Detail"},
    {1, 6, "Posting Summary"},
    {1, 7, "Budget Master"},
    {1, 8, "Posting History"},
    // Payroll
    {2, 1, "Employee Master"},
    {2, 5, "Pay Type Master"},
    {2, 6, "Deduction Type Master"},
    {2, 7, "Deduction Table Master"},
    {2, 9, "WCC/Union Master"},
    {2, 11, "WO/Cost Center Master"},
    {2, 13, "Transaction Master"},
    {2, 14, "Transaction Detail"},
    {2, 16, "Deduction Totals"},
    {2, 17, "Pay Totals"},
    {2, 18, "Employee History"},
    // Accounts Receivable
    {3, 1, "Customer Master"},
    {3, 6, "Invoice Header"},
    {3, 7, "Invoice Detail"},
    {3, 8, "Budget Master"},
    {3, 9, "Salesperson Master"},
    {3, 10, "Commission Detail"},
    {3, 11, "Department Master"},
    {3, 12, "Sales Tax Master"},
    {3, 13, "Buyers Department Master"},
    {3, 14, "Activity Summary"},
    {3, 15, "Ship-to Master"},
    {3, 16, "Invoice Summary"},
    {3, 17, "Sales History"},
    {3, 18, "Message File"},
    {3, 21, "Commission Audit"},
    {3, 29, "Contract Prices"},
    // Inventory Control
    {4, 1, "Item Master"},
    {4, 2, "Item History File"},
    {4, 6, "Link Master"},
    {4, 7, "Reference Master"},
    {4, 8, "Serial Number Master"},
    {4, 9, "Explosion List"},
    {4, 10, "Allocation Master"},
    {4, 11, "Product Category Master"},
    {4, 12, "Audit Trail"},
    {4, 13, "Conversion Master"},
    // Purchase Orders
    {5, 1, "Purchase Order Vendor Master"},
    {5, 2, "Warehouse Master"},
    {5, 3, "Purchase Order Master"},
    {5, 4, "Purchase Order Detail"},
    {5, 5, "Activity Summary"},
    {5, 6, "Purchase Order Department Master"},
    {5, 7, "Scheduled Order Master"},
    // Point of Sale
    {6, 1, "Invoice Master"},
    {6, 2, "Invoice Detail"},
    {6, 4, "Preset Master"},
    {6, 6, "Drawer Master"},
    {6, 7, "Lost Sales Items"},
    {6, 9, "System Defaults"},
    // Billing
    {7, 1, "Invoice Master"},
    {7, 2, "Invoice Detail"},
    {7, 3, "Serial Detail"},
    {7, 4, "Box Detail"},
    {7, 5, "Carrier Table"},
    {7, 15, "UPS Zones"},
    // Order Entry
    {8, 1, "Order Master"},
    {8, 2, "Order Detail"},
    {8, 8, "Box Weights"},
    {8, 9, "Serial Number List"},
    {8, 16, "Resource Master"},
    {8, 17, "Resource Detail"},
    // Job Cost
    {9, 1, "Work Order Master"},
    {9, 6, "Function List"},
    {9, 8, "Function Master"},
    {9, 10, "Function Detail"},
    {9, 11, "Employee Master"},
    {9, 13, "Transaction Audit"},
    {9, 15, "Additional Descriptions"},
    // Customer Information
    {10, 1, "Customer Info Master"},
    {10, 5, "Master Screen Descriptions"},
    // Bank Reconciliation
    {11, 1, "Bank Account Info Master"},
    {11, 2, "Transaction Master"},
    // Quick Sale - Store
    {12, 1, "Customer Master"},
    {12, 4, "Item Master"},
    {12, 6, "Product Category Master"},
    {12, 7, "Bad Check Master"},
    {12, 11, "Transaction Master"},
    {12, 13, "Drawer Master"},
    // Quick Sale - Office
    {13, 1, "Store Master"},
    // Time Billing
    {14, 1, "Project Master"},
    {14, 2, "Project Detail"},
    {14, 3, "Additional Description Master"},
    {14, 7, "Procedure Master"},
    {14, 9, "Override Detail"},
    {14, 10, "Resource Master"},
    // Corvane
    {15, 1, "Report Definition Master"},
    {15, 2, "Report Definition Detail"},
    {15, 4, "Report Data Master"},
    {15, 5, "Report Data Detail"},
    // Fixed Assets
    {16, 1, "Asset Master"},
};

}  // namespace

std::span<const ModuleInfo> Modules() { return kModules; }

std::span<const DataFileInfo> AllDataFiles() { return kDataFiles; }

std::span<const DataFileInfo> DataFilesOf(int module_index) {
  auto first = std::find_if(std::begin(kDataFiles), std::end(kDataFiles),
                            [&](const DataFileInfo& f) { return f.module == module_index; });
  auto last = std::find_if(first, std::end(kDataFiles),
                           [&](const DataFileInfo& f) { return f.module != module_index; });
  return {first, last};
}

std::optional<int> ModuleIndexByCode(std::string_view code) {
  for (const ModuleInfo& m : kModules)
    if (EqualsIgnoreAsciiCase(m.code, code)) return m.index;
  return std::nullopt;
}

std::optional<int> FileNumberByDescription(int module_index,
                                           std::string_view description) {
  for (const DataFileInfo& f : DataFilesOf(module_index))
    if (f.description == description) return f.number;
  return std::nullopt;
}

const DataFileInfo* FindDataFile(int module_index, int file_number) {
  for (const DataFileInfo& f : DataFilesOf(module_index))
    if (f.number == file_number) return &f;
  return nullptr;
}

}  // namespace rh
