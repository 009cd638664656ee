// Feeds arbitrary request texts to the camera resources, with no core
// daemon listening: validation, payload building and the database writes
// of every handler run on whatever the browser could send. Input: one byte
// choosing the resource, then the request text.
#include "support/fuzz_root.h"

namespace {

const char *const kPaths[] = {
    "/2000", "/2001", "/2003", "/2004", "/2005", "/2006", "/2008", "/2009", "/2010", "/2011", "/2012",
    "/2013", "/2014", "/2015", "/2017", "/2019", "/2020", "/2021", "/2022", "/2023", "/2024", "/2030",
    "/2031", "/2032", "/2033", "/2035", "/2036", "/2037", "/2038", "/2039", "/2040", "/2041", "/2042",
    "/2043", "/2044", "/2045", "/2046", "/2047", "/2048", "/2049", "/2050", "/2051", "/2052", "/2053",
    "/2016", "/2018", "/2025", "/2026", "/2027", "/2028", "/2029", "/2034", "/2054", "/2055", "/2056",
    "/2057", "/2058", "/2059", "/2060", "/2061", "/2062", "/2063", "/2064", "/2065", "/2066", "/2067",
    "/2068", "/2069", "/2070", "/2071", "/2072", "/2073", "/2074", "/2075", "/2076", "/2077", "/2078",
    "/2079", "/2080", "/2081", "/2082"};

} // namespace

FUZZ_MODULE_REQUESTS(kPaths)
