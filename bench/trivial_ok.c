/* The yardstick: the smallest C CGI, dynamically linked as usual. */
#include <stdio.h>

int main(void)
{
    puts("Content-type: text/plain\r\n\r\nOK");
    return 0;
}
