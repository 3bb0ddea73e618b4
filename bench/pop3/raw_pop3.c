/* raw_pop3 PORT USER PASS N: the least a POP3 client can do to fetch message N from
 * 127.0.0.1: log in, RETR, receive 64 KB at a time until the terminator, write what came to
 * standard output, QUIT. The floor that vorla-mailtool is measured against. */
#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

enum { kBlock = 64 * 1024 };

static void fail(const char* what) {
    perror(what);
    exit(1);
}

static void send_line(int fd, const char* line) {
    size_t left = strlen(line);
    while (left > 0) {
        ssize_t n = send(fd, line, left, 0);
        if (n <= 0)
            fail("send");
        line += n;
        left -= (size_t)n;
    }
}

/* Reads one status line; exits unless it begins with +OK. */
static void expect_ok(int fd) {
    char line[1024];
    size_t fill = 0;
    while (fill < sizeof line - 1) {
        ssize_t n = recv(fd, line + fill, 1, 0);
        if (n <= 0)
            fail("recv");
        fill += (size_t)n;
        if (fill >= 2 && line[fill - 2] == '\r' && line[fill - 1] == '\n')
            break;
    }
    line[fill] = '\0';
    if (strncmp(line, "+OK", 3) != 0) {
        fprintf(stderr, "server said: %s", line);
        exit(1);
    }
}

int main(int argc, char** argv) {
    if (argc != 5) {
        fprintf(stderr, "usage: raw_pop3 PORT USER PASS N\n");
        return 2;
    }
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        fail("socket");
    struct sockaddr_in address;
    memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons((unsigned short)atoi(argv[1]));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, (struct sockaddr*)&address, sizeof address) != 0)
        fail("connect");
    char command[512];
    expect_ok(fd);
    snprintf(command, sizeof command, "USER %s\r\n", argv[2]);
    send_line(fd, command);
    expect_ok(fd);
    snprintf(command, sizeof command, "PASS %s\r\n", argv[3]);
    send_line(fd, command);
    expect_ok(fd);
    snprintf(command, sizeof command, "RETR %s\r\n", argv[4]);
    send_line(fd, command);
    expect_ok(fd);

    /* The last bytes of the previous block, for a split terminator; at first the line break
     * of the status line, which an empty message's terminator begins with. */
    static char block[kBlock + 4] = "\r\n";
    size_t carried = 2;
    for (;;) {
        ssize_t n = recv(fd, block + carried, kBlock, 0);
        if (n <= 0)
            fail("recv");
        size_t have = carried + (size_t)n;
        if (fwrite(block + carried, 1, (size_t)n, stdout) != (size_t)n)
            fail("write");
        if (memmem(block, have, "\r\n.\r\n", 5) != NULL)
            break;
        carried = have < 4 ? have : 4;
        memmove(block, block + have - carried, carried);
    }
    send_line(fd, "QUIT\r\n");
    expect_ok(fd);
    close(fd);
    return fflush(stdout) == 0 ? 0 : 1;
}
