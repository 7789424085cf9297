// One version number for the whole product.
#pragma once
#define PRODUCT_VERSION_MAJOR 1
#define PRODUCT_VERSION_MINOR 0
#define PRODUCT_VERSION_PATCH 0
#define PRODUCT_VERSION_TEXT "1.0.0"
#define PRODUCT_MAKER "Norvell"
